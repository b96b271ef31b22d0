#!/usr/bin/env bash
# Drives the configurator of model 4 in a virtual X display through X input
# events only, as a person does, and checks what that person would see: the
# windows X has mapped, the files written and the project left open.
#   with_x_display.sh real_display_test.sh <configurator executable>
set -euo pipefail
. "$(dirname "$0")/real_display_lib.sh"

main="$(main_window)"
# The wizard's buttons, in the main window's client coordinates.
new_btn=(165 129); open_btn=(343 129); setcomm_btn=(165 173); setacc_btn=(165 217)

# The mouse resting on a glyph button shows its hint (an untitled window
# of the program, which X names after it); leaving the button takes it away.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 530)) $((Y + 30))
xdotool mousemove $((X + 540)) $((Y + 33))
wait_mapped configurator >/dev/null
xdotool mousemove $((X + 300)) $((Y + 400))
wait_unmapped configurator

# Without a project, "Set Communication" refuses; Enter closes the message
# for good.
click_at "$main" "${setcomm_btn[@]}"
box="$(wait_mapped "Error")"
wait_focus "$box"
xdotool key Return
wait_unmapped "Error"

# A project by typing its name and pressing Enter.
new_project "first"

# Another by clicking OK.
click_at "$main" "${new_btn[@]}"
dlg="$(wait_mapped "Create New Configuration")"
wait_focus "$dlg"
xdotool type --delay 10 "second"
click_at "$dlg" 165 138
wait_unmapped "Create New Configuration"
[ -d "$work/app/PROJECTS/second" ] || fail "project \"second\" not created"

# Open the first project, which is not the one open now.
click_at "$main" "${open_btn[@]}"
dlg="$(wait_mapped "Open Configuration")"
click_at "$dlg" 49 99
click_at "$dlg" 214 323
wait_unmapped "Open Configuration"

# The general parameters: a baud rate from the drop-down list, then OK once.
click_at "$main" "${setcomm_btn[@]}"
form="$(wait_mapped "Set Communication")"
click_at "$form" 185 555
# The list opens as a window of its own, titled with the program's name:
# eleven rates, the fourth is 9600.
popup="$(wait_mapped configurator)"
eval "$(xdotool getwindowgeometry --shell "$popup")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 22))
xdotool click 1
wait_unmapped configurator
click_at "$form" 124 810
wait_unmapped "Set Communication"
grep -q '<MODBUS_MASTER_BAUDRATE>3</MODBUS_MASTER_BAUDRATE>' "$work/app/PROJECTS/first/ParGen.xml" ||
  fail "the chosen baud rate was not written: $(cat "$work/app/PROJECTS/first/ParGen.xml" 2>/dev/null)"
[ ! -f "$work/app/PROJECTS/second/ParGen.xml" ] || fail "the parameters went to the wrong project"

# The Modbus requests: one row of the read table filled by mouse and keys.
click_at "$main" "${setacc_btn[@]}"
form="$(wait_mapped "Set Modbus Access")"
wait_focus "$form"
# Row 1's cells, in the form's client coordinates (below the tab strip of the page control).
cell_y=125; slave_x=75; type_x=165; type_button_x=212; address_x=250; npoint_x=310; poll_x=372; max_x=436
position_x=498; bit_x=558; swap_x=622
type_cell() { click_at "$form" "$1" "$cell_y"; xdotool type --delay 10 "$2"; xdotool key Return; }
type_cell "$slave_x" 5
# F2 opens the list cell's combo; its button drops the list below the cell,
# and a click on the third of its four items picks it.
click_at "$form" "$type_x" "$cell_y"
xdotool key F2
click_at "$form" "$type_button_x" "$cell_y"
popup="$(wait_mapped configurator)"
eval "$(xdotool getwindowgeometry --shell "$form")"
form_y=$Y
eval "$(xdotool getwindowgeometry --shell "$popup")"
[ "$Y" -ge $((form_y + cell_y + 8)) ] || fail "the list does not drop below its cell (list at $Y, cell at $((form_y + cell_y)))"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 5 / 8))
xdotool click 1
wait_unmapped configurator
type_cell "$address_x" 100
type_cell "$npoint_x" 2
type_cell "$poll_x" 1000
type_cell "$max_x" 3
# Keys alone choose in the other lists: Down steps to the next item.
click_at "$form" "$position_x" "$cell_y"
xdotool key F2 Down Return
click_at "$form" "$bit_x" "$cell_y"
xdotool key F2 Return
# A click ticks the data check box; the pick of the list before stays in its
# own cell.
click_at "$form" "$swap_x" "$cell_y"
click_at "$form" 71 316
wait_unmapped "Set Modbus Access"
row='<row Slave_ID="5" Type="Holding Register" Address="100" NPoint="2" PollTime="1000" MaxError="3" Position="1" Bit="0" Swap="Y"'
grep -qF "$row" "$work/app/PROJECTS/first/ModbusM_SetAccess.xml" ||
  fail "the request row was not written as entered: $(cat "$work/app/PROJECTS/first/ModbusM_SetAccess.xml" 2>/dev/null)"

# Close the main window: the program ends and remembers the open project.
close_program
grep -q '<projectname>first</projectname>' "$work/app/Bridgeform.xml" ||
  fail "the open project is not \"first\": $(cat "$work/app/Bridgeform.xml")"
echo "PASS"
