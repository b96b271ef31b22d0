#!/usr/bin/env bash
# Opens the M-Bus network editor of model 10 in a virtual X display through X
# input events only, and checks what a person sees there by the screen's
# pixels: the page ends inside the window with its frame, and the tab strip,
# tabs and page have the window's colour, the selected tab sky blue.
#   with_x_display.sh real_display_mbus_look_test.sh <configurator executable of model 10>
set -euo pipefail
for tool in xwd python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps installs it)"; exit 1; }
done

source "$(dirname "$0")/real_display_lib.sh" "$1"

main="$(main_window)"
# The M-Bus network is the third step of model 10's wizard, in the main
# window's client coordinates.
mbus_btn=(165 217)
new_project meters

click_at "$main" "${mbus_btn[@]}"
editor="$(wait_mapped "M-Bus Network")"
wait_focus "$editor"
# The move away from the window leaves no button hot in the picture.
xdotool mousemove 0 0
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$editor")"
xwd -root -silent >"$work/screen.xwd"

# The editor's client area is 780 x 650; its page control stands at 356, 96,
# 416 x 500, its tab strip on the left.
python3 - "$work/screen.xwd" "$X" "$Y" <<'EOF' || fail "the M-Bus network editor does not look right"
import struct, sys
data = open(sys.argv[1], 'rb').read()
ox, oy = int(sys.argv[2]), int(sys.argv[3])
h = struct.unpack('>25I', data[:100])
header, width, height, order, bpp, line, ncolors = h[0], h[4], h[5], h[7], h[11], h[12], h[19]
# A true-colour screen: 3 or 4 bytes a pixel, lines padded.
step = bpp // 8
assert step in (3, 4) and bpp in (24, 32), 'a true-colour screen is expected, not %s' % (h,)
pixels = data[header + 12 * ncolors:]

def rgb(x, y):
    i = (oy + y) * line + (ox + x) * step
    b = pixels[i:i + step]
    return (b[2], b[1], b[0]) if order == 0 else tuple(b[step - 3:])

window = (248, 247, 237)
gray = (128, 128, 128)
sky = (166, 202, 240)
faults = []
def share(points, colour):
    points = list(points)
    return sum(rgb(x, y) == colour for x, y in points) / len(points)

# The page's frame runs down its right edge inside the window, and nothing of
# the page's controls reaches it: a band left of it is the page's colour.
if share(((770, y) for y in range(120, 580)), gray) < 0.9:
    faults.append('no grey frame at the page\'s right edge (x 770): %s' % (rgb(770, 300),))
if share(((x, y) for x in range(760, 769) for y in range(110, 420)), window) < 0.98:
    faults.append('the page\'s controls reach its right edge')
# The page itself, the strip below the tabs and the unselected tab are the
# window's colour; the selected tab is sky blue.
if share(((x, y) for x in range(400, 740, 7) for y in range(460, 580, 5)), window) < 0.98:
    faults.append('the page is not the window\'s colour: %s' % (rgb(600, 520),))
if share(((x, 560) for x in range(357, 372)), window) < 0.9:
    faults.append('the tab strip is not the window\'s colour: %s' % (rgb(362, 560),))
if share(((x, y) for x in range(357, 385) for y in range(96, 260)), sky) < 0.15:
    faults.append('no sky-blue selected tab')
for f in faults:
    print(f)
sys.exit(1 if faults else 0)
EOF
echo "PASS"
