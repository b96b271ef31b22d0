#!/usr/bin/env bash
# Drives the M-Bus network editor of the configurator of model 10 in a
# virtual X display through X input events only: a meter and its variable
# added by mouse and keys and saved, the network shown again and saved
# unchanged, and a corrupt network file kept until the user agrees to
# replace it.
#   with_x_display.sh real_display_mbus_test.sh <configurator executable of model 10>
set -euo pipefail
. "$(dirname "$0")/real_display_lib.sh"

main="$(main_window)"
mbus_btn=(165 217)
new_project "meters"
net="$work/app/PROJECTS/meters/M_Bus.xml"

# The editor, in its client coordinates: the tree on the left, the page of
# the node or variable on the right, OK and Cancel in the bottom-right corner.
node_row=(90 120); var_tab=(366 195)
desc_field=(600 142); primary_field=(600 168); node_state_box=(398 222); add_node_btn=(660 437)
add_var_btn=(660 537)
ok_corner=(143 26); cancel_corner=(51 26)
open_editor() {
  click_at "$main" "${mbus_btn[@]}"
  ed="$(wait_mapped "M-Bus Network")"
  wait_focus "$ed"
}

# A meter: its description and address typed, "Node State" ticked, added.
open_editor
click_at "$ed" "${desc_field[@]}"
xdotool type --delay 10 "Water"
click_at "$ed" "${primary_field[@]}"
xdotool key ctrl+a
xdotool type --delay 10 "5"
click_at "$ed" "${node_state_box[@]}"
click_at "$ed" "${add_node_btn[@]}"
# Its variable: the meter chosen in the tree, the variable page, a description.
click_at "$ed" "${node_row[@]}"
click_at "$ed" "${var_tab[@]}"
click_at "$ed" "${desc_field[@]}"
xdotool type --delay 10 "flow"
click_at "$ed" "${add_var_btn[@]}"
click_from_corner "$ed" "${ok_corner[@]}"
wait_unmapped "M-Bus Network"
[ -f "$net" ] || fail "OK wrote no network"
grep -q '<Nodo Enable_Node="1" ID_Primary="5" ID_Secondary="1" Descrizione="Water" [^>]*Node_State="1"' "$net" ||
  fail "the meter was not written as entered: $(cat "$net")"
grep -q '<Variabile Enable="1" Desc="flow"' "$net" || fail "the variable was not written: $(cat "$net")"
saved="$(cat "$net")"

# Shown again, the network is the one saved: OK writes it as it was, and
# asks nothing.
open_editor
click_from_corner "$ed" "${ok_corner[@]}"
wait_unmapped "M-Bus Network"
never_mapped "Confirm"
[ "$(cat "$net")" = "$saved" ] || fail "the network shown again was not the one saved: $(cat "$net")"

# A network file that cannot be read: its error, then the editor. OK asks
# before the user's file is replaced; No keeps it, and Cancel closes at once.
printf '<M-Bus_Network><Nodo Descrizione="a"><Variabile Desc=' >"$net"
click_at "$main" "${mbus_btn[@]}"
box="$(wait_mapped "Error")"
wait_focus "$box"
xdotool key Return
wait_unmapped "Error"
ed="$(wait_mapped "M-Bus Network")"
wait_focus "$ed"
click_from_corner "$ed" "${ok_corner[@]}"
box="$(wait_mapped "Confirm")"
wait_focus "$box"
xdotool key Escape
wait_unmapped "Confirm"
is_mapped "M-Bus Network" || fail "No closed the editor"
[ "$(cat "$net")" = '<M-Bus_Network><Nodo Descrizione="a"><Variabile Desc=' ] || fail "the unread file was replaced"
click_from_corner "$ed" "${cancel_corner[@]}"
wait_unmapped "M-Bus Network"
never_mapped "Confirm"

close_program
echo "PASS"
