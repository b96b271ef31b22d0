# What the real-display scripts share: the program started in a folder of its
# own, the windows X has mapped, and clicks and waits as a person makes them.
# Sourced by a script that has run "set -euo pipefail"; it starts the
# configurator executable given as its argument.
exe="$1"
command -v xdotool >/dev/null || { echo "missing xdotool (scripts/deps installs it)"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no display: run through tests/with_x_display.sh"; exit 1; }

work="$(mktemp -d)"
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  {
    echo "FAIL: $*"
    echo "mapped windows:"
    mapped_names | sed 's/^/  /'
    echo "display $DISPLAY; the program's output:"
    sed 's/^/  /' "$work/app.log"
    kill -0 "$app_pid" 2>/dev/null || echo "  (the program has ended)"
  } >&2
  exit 1
}

# The program keeps its folders beside its executable.
mkdir "$work/app"
cp "$exe" "$work/app/configurator"
(cd "$work/app" && exec ./configurator) >"$work/app.log" 2>&1 &
app_pid=$!

# The titles of the mapped windows, with their ids: "id title".
mapped() {
  local w n
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null || true); do
    n="$(xdotool getwindowname "$w" 2>/dev/null || true)"
    [ -n "$n" ] && echo "$w $n"
  done
  return 0
}
mapped_names() {
  mapped | cut -d' ' -f2-
}
# The id of the mapped window whose title is exactly NAME, waiting up to 10 s.
wait_mapped() {
  local name="$1" w
  for _ in $(seq 200); do
    w="$(mapped | awk -v n="$name" '{ id = $1; sub(/^[^ ]+ /, ""); if ($0 == n) { print id; exit } }')"
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  fail "no window \"$name\""
}
# Waits until window W has the keyboard, so that keys typed next reach it.
wait_focus() {
  for _ in $(seq 200); do
    [ "$(xdotool getwindowfocus -f 2>/dev/null || true)" = "$1" ] && return 0
    sleep 0.05
  done
  fail "window $1 did not get the keyboard"
}
is_mapped() {
  mapped_names | grep -qxF "$1"
}
# Waits until no window titled NAME is mapped, then makes sure none comes back.
wait_unmapped() {
  local name="$1"
  for _ in $(seq 100); do is_mapped "$name" || break; sleep 0.05; done
  sleep 0.3
  ! is_mapped "$name" || fail "\"$name\" is still or again mapped"
}
# Makes sure that no window titled NAME comes up within a second.
never_mapped() {
  for _ in $(seq 20); do
    ! is_mapped "$1" || fail "an unexpected \"$1\" window"
    sleep 0.05
  done
}
# Clicks at X,Y of window W's client area.
click_at() {
  local w="$1" x="$2" y="$3" X Y
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove $((X + x)) $((Y + y))
  xdotool click 1
}
# Clicks DX, DY inside the bottom-right corner of window W's client area:
# buttons that stand in that corner keep their place when the window grows.
click_from_corner() {
  local w="$1" dx="$2" dy="$3" X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove $((X + WIDTH - dx)) $((Y + HEIGHT - dy))
  xdotool click 1
}

# The main window, once it is up.
main_window() {
  local main=""
  for _ in $(seq 600); do
    main="$(mapped | awk '/www.bridgeform.example - Bridgeform/ { print $1; exit }')"
    [ -n "$main" ] && { echo "$main"; return 0; }
    sleep 0.05
  done
  fail "the main window did not appear"
}
# A new project by the wizard's first button, its name typed and Enter.
new_project() {
  local name="$1" dlg
  click_at "$main" 165 129
  dlg="$(wait_mapped "Create New Configuration")"
  wait_focus "$dlg"
  xdotool type --delay 10 "$name"
  xdotool key Return
  wait_unmapped "Create New Configuration"
  [ -d "$work/app/PROJECTS/$name" ] || fail "project \"$name\" not created"
}
# Closes the main window by its close glyph: the program ends.
close_program() {
  click_at "$main" 657 33
  for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
  ! kill -0 "$app_pid" 2>/dev/null || fail "the program did not end"
  app_pid=""
  [ -z "$(mapped_names)" ] || fail "windows left mapped"
}
