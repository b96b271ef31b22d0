# What the real-display scripts share: the program started in a folder of its
# own in the virtual X display, and the helpers that find its windows and
# drive them by X input events. Sourced with exe set to the executable.
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
# Clicks at X,Y of window W's client area.
click_at() {
  local w="$1" x="$2" y="$3" X Y
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove $((X + x)) $((Y + y))
  xdotool click 1
}

# The id of the main window, whose title holds the model's software CODE.
wait_main() {
  local w=""
  for _ in $(seq 600); do
    w="$(mapped | awk -v c="$1" 'index($0, "Bridgeform " c) { print $1; exit }')"
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  fail "the main window did not appear"
}
