#!/usr/bin/env bash
# Runs a command as a client of a private Wayland compositor (weston), itself a window on the
# X server in $DISPLAY: weston's headless output has no seat, and without a seat a Wayland
# client has no clipboard. On failure, says what weston answered.
set -uo pipefail
log=$(mktemp)
# A socket's path has at most 107 bytes, and the test's own runtime folder may be deeper:
# the compositor and its clients get a short one, removed again at the end as X's are.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/concordance-wayland.XXXXXX) || exit 1
export XDG_RUNTIME_DIR
socket=wayland-test
compositor=
trap '[ -n "$compositor" ] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null; rm -rf "$log" "$XDG_RUNTIME_DIR"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
weston --backend=x11-backend.so --no-config --socket="$socket" --idle-time=0 >"$log" 2>&1 &
compositor=$!
for _ in $(seq 200); do
  [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
  kill -0 "$compositor" 2>/dev/null || break
  sleep 0.1
done
if ! [ -S "$XDG_RUNTIME_DIR/$socket" ]; then
  echo "weston did not start; it said: $(cat "$log")" >&2
  exit 1
fi
WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$@"
