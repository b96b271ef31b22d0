#!/usr/bin/env bash
# Drives the receive byte map of the configurator of model 0 in a virtual X
# display through X input events only: a position the map refuses is told
# once, the keys typed next go back into its field, and neither OK nor Cancel
# loses its first click; Cancel closes even while a field holds a refused
# position.
#   with_x_display.sh real_display_canmap_test.sh <configurator executable of model 0>
set -euo pipefail
. "$(dirname "$0")/real_display_lib.sh"

main="$(main_window)"
map_btn=(343 217)
new_project "frames"
# Two received frames, as the frame editor writes them.
project="$work/app/PROJECTS/frames"
printf '%s' '<PROFINET_to_Receive_CAN><Receive_Frames><row Cob_Id="0x181" Type="2.0A (11 bits)" Dimension="8" TimeOut="1000" Mnemonic=""/><row Cob_Id="0x182" Type="2.0A (11 bits)" Dimension="2" TimeOut="1000" Mnemonic=""/></Receive_Frames></PROFINET_to_Receive_CAN>' \
  >"$project/CAN_Rec_Frames.xml"
map="$project/CAN_Rec_Info.xml"

# The map, in its client coordinates: the position fields of bytes 1 and 2,
# OK and Cancel at the bottom.
byte1=(452 117); byte2=(452 162); ok_btn=(71 487); cancel_btn=(189 487)
open_map() {
  click_at "$main" "${map_btn[@]}"
  form="$(wait_mapped "Receive CAN Frames Info")"
  wait_focus "$form"
}
# Types TEXT over the field at X,Y.
type_over() {
  click_at "$form" "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 10 "$3"
}
# One error box, closed by Enter; no second one follows.
one_error() {
  local box
  box="$(wait_mapped "Error")"
  wait_focus "$box"
  xdotool key Return
  wait_unmapped "Error"
  never_mapped "Error"
  wait_focus "$form"
}

# A position beyond the image, left for the next field: one message, and
# what is typed next goes into the refused field; OK saves at its first click.
open_map
type_over "${byte1[@]}" 5000
click_at "$form" "${byte2[@]}"
one_error
xdotool key ctrl+a
xdotool type --delay 10 "12"
click_at "$form" "${ok_btn[@]}"
wait_unmapped "Receive CAN Frames Info"
grep -q '<row B1="12" B2="65535"' "$map" || fail "the typed position was not saved: $(cat "$map" 2>/dev/null)"
saved="$(cat "$map")"

# The same position refused by OK: one message, then Cancel closes at its
# first click and keeps the file.
open_map
type_over "${byte1[@]}" 5000
click_at "$form" "${ok_btn[@]}"
one_error
click_at "$form" "${cancel_btn[@]}"
wait_unmapped "Receive CAN Frames Info"

# Cancel straight from a field that holds a refused position: no message.
open_map
type_over "${byte1[@]}" 5000
click_at "$form" "${cancel_btn[@]}"
wait_unmapped "Receive CAN Frames Info"
never_mapped "Error"
[ "$(cat "$map")" = "$saved" ] || fail "Cancel changed the map: $(cat "$map")"

close_program
echo "PASS"
