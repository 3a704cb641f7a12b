#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Concordance in the folder this was
# called from, so that its Open and Save dialogs start there.
set -euo pipefail
checkout=$(cd "$(dirname "$0")" && pwd)

# The toolkit would abort with a message about reinstalling; say what is missing instead.
has_display() {
  [ -n "${QT_QPA_PLATFORM:-}" ] && return 0
  if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    local socket=$WAYLAND_DISPLAY
    [[ $socket = /* ]] || socket=${XDG_RUNTIME_DIR:-}/$socket
    [ -S "$socket" ] && return 0
  fi
  [ -n "${DISPLAY:-}" ] || return 1
  ! command -v xdpyinfo >/dev/null || xdpyinfo >/dev/null 2>&1
}
if ! has_display; then
  cat >&2 <<EOF
Concordance is a desktop program: it needs a desktop session (an X11 or Wayland display),
and none answers here (DISPLAY="${DISPLAY:-}", WAYLAND_DISPLAY="${WAYLAND_DISPLAY:-}").
Start it from a terminal in your desktop session, or over ssh with X forwarding (ssh -X).
To run it without a screen, on a virtual X server: xvfb-run -a $0
EOF
  exit 1
fi

bash "$checkout/tools/install-dependencies.sh"
# Only the options this script relies on; the benchmark option is left as the build has it.
cmake -S "$checkout" -B "$checkout/build" -DCMAKE_BUILD_TYPE=Release -DCONCORDANCE_SANITIZE=OFF
cmake --build "$checkout/build" --target concordance -j "$(nproc)"
exec "$checkout/build/concordance" "$@"
