#!/usr/bin/env bash
# Runs a command on the X server in $DISPLAY with a window manager, as a desktop user has.
set -euo pipefail
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null || true' EXIT
# The manager is ready once it has claimed the screen; give up after ten seconds.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$manager" 2>/dev/null || { echo "openbox did not start" >&2; exit 1; }
  sleep 0.1
done
"$@"
