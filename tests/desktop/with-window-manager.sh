#!/usr/bin/env bash
# Runs a command on the X server in $DISPLAY with a window manager, as a desktop user has.
# A server that was just started may not answer yet, and a manager started then gives up:
# wait for the display first, then for the manager to claim the screen, starting it again
# if it ended. On failure, says what each tool answered.
set -uo pipefail
log=$(mktemp)
manager=
trap 'rm -f "$log"; [ -n "$manager" ] && kill "$manager" 2>/dev/null' EXIT

# Polls `check` every 0.1 s for up to `limit` seconds.
wait_for() {
  local limit=$1 check=$2
  for _ in $(seq $((limit * 10))); do
    eval "$check" && return 0
    sleep 0.1
  done
  return 1
}

if ! wait_for 20 'xdpyinfo >/dev/null 2>"$log"'; then
  echo "the display $DISPLAY never answered; xdpyinfo said: $(cat "$log")" >&2
  exit 1
fi
for attempt in 1 2 3; do
  openbox --sm-disable >"$log" 2>&1 &
  manager=$!
  if wait_for 10 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || ! kill -0 "$manager" 2>/dev/null'; then
    kill -0 "$manager" 2>/dev/null && break
  fi
  echo "openbox did not start (attempt $attempt); it said: $(cat "$log"); xprop said: $(xprop -root _NET_SUPPORTING_WM_CHECK 2>&1)" >&2
  kill "$manager" 2>/dev/null
  wait "$manager" 2>/dev/null
  manager=
  [ "$attempt" = 3 ] && exit 1
done
"$@"
