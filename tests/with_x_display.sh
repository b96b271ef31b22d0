#!/usr/bin/env bash
# Runs a command against a virtual X display of its own, for tests that need
# the window system's real input (double clicks made by the toolkit from two
# X presses, say).
#   with_x_display.sh <command> [arguments...]
set -euo pipefail
command -v Xvfb >/dev/null || { echo "missing Xvfb (scripts/deps installs it)"; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb names the first free display number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
exec 3>&-
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# The number comes before the server takes clients on a busy machine.
if command -v xdotool >/dev/null; then
  for _ in $(seq 400); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done
  xdotool getmouselocation >/dev/null 2>&1 || { cat "$work/xvfb.log"; echo "FAIL: Xvfb on $DISPLAY takes no clients"; exit 1; }
fi
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
unset WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$@"
