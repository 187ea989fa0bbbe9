#!/usr/bin/env bash
# Draws the setup program's artwork with ImageMagick: the wizard picture, the patch that hides a
# button face, and the icons of the setup program and the uninstaller. Re-running rewrites all four.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# /usr/local/bin may hold a stand-in that only converts for viewing; draw with the real program.
im=/usr/bin/convert
[[ -x $im ]] || { echo "make-installer-art.sh: $im is needed (apt-get install imagemagick)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The window draws its page-4 bars in this colour over the button faces they retire; making the
# panel the same colour lets the bars, and the patch, vanish into it.
panel='#000040'
frame_face='#A8A8B0'
frame_light='#E4E4EC'
frame_dark='#505058'
face='#FFCC10'
face_light='#FFF080'
face_dark='#B07800'

# JPEG settings: full-resolution colour, so that flat areas keep their exact colour and the
# yellow does not bleed past a face's edge into the panel.
jpeg=(-strip -sampling-factor 1x1 -quality 95)

# --- The wizard picture, 355 × 234 pixels (15 twips a pixel). ---
# Button faces are rounded rectangles kept inside the button areas and, for Exit and Change,
# inside the 30-pixel bars with round ends that the window draws over them on page 4
# (Exit: y 190, x 40..80; Change: y 120, x 266.7..306.7).
draw=()
add() { draw+=(-draw "$1"); }
button_face() { # x0 y0 x1 y1
  add "fill $face_dark stroke none roundrectangle $1,$2 $3,$4 8,8"
  add "fill $face stroke none roundrectangle $(($1 + 1)),$(($2 + 1)) $(($3 - 1)),$(($4 - 1)) 7,7"
  add "fill $face_light stroke none roundrectangle $(($1 + 4)),$(($2 + 2)) $(($3 - 4)),$(($2 + 6)) 3,3"
}

# The grey frame: raised outer bevel, flat band, sunken inner bevel around the panel.
add "fill $frame_face stroke none rectangle 0,0 354,233"
add "fill $frame_light stroke none polygon 0,0 354,0 351,3 3,3 3,230 0,233"
add "fill $frame_dark stroke none polygon 354,233 0,233 3,230 351,230 351,3 354,0"
add "fill $frame_dark stroke none polygon 6,6 348,6 346,8 8,8 8,225 6,227"
add "fill $frame_light stroke none polygon 348,227 6,227 8,225 346,225 346,8 348,6"
add "fill $panel stroke none rectangle 8,8 346,225"

# Exit (area x 22..95, y 172..207), Prev (124..193), Next (196..265), Change (256..327, y 104..139).
button_face 28 178 92 202
button_face 128 178 190 202
button_face 199 178 262 202
button_face 259 108 314 132

# The close mark under its click area (x 314..335, y 18..37): a yellow disc with a cross.
add "fill $face_dark stroke none circle 324.5,27.5 324.5,18"
add "fill $face stroke none circle 324.5,27.5 324.5,19"
add "stroke #402000 stroke-width 2 line 320.5,23.5 328.5,31.5"
add "stroke #402000 stroke-width 2 line 328.5,23.5 320.5,31.5"

# The lamp, centred at (4895, 3074) twips, inside the 318-twip green circle of the last page.
add "fill #501010 stroke none circle 326.3,204.9 326.3,184.9"
add "fill #D01818 stroke none circle 326.3,204.9 326.3,186.4"
add "fill #FF7060 stroke none circle 321.3,199.4 321.3,195.4"

"$im" -size 355x234 xc:"$panel" -antialias -strokewidth 1 "${draw[@]}" \
  "${jpeg[@]}" "$here/wizard.jpg"

# --- The patch, 107 × 57 pixels: the panel's colour alone. ---
"$im" -size 107x57 xc:"$panel" "${jpeg[@]}" "$here/wizard-patch.jpg"

# --- The icons: 32 × 32 and 16 × 16 in 16 colours, without a transparent ground. ---
# Only colours of the standard 16-colour palette are drawn, so that quantising keeps each one.
# The setup program: a blue box with a yellow arrow pointing into it.
setup32=(-fill '#000080' -stroke '#000000' -draw "roundrectangle 2,12 29,29 3,3"
  -fill '#0000FF' -stroke none -draw "rectangle 5,15 26,26"
  -fill '#FFFF00' -stroke '#000000' -draw "polygon 12,1 19,1 19,10 24,10 15.5,19 7,10 12,10")
setup16=(-fill '#000080' -stroke '#000000' -draw "rectangle 1,6 14,14"
  -fill '#0000FF' -stroke none -draw "rectangle 3,8 12,12"
  -fill '#FFFF00' -stroke '#000000' -draw "polygon 6,0 9,0 9,4 12,4 7.5,9 3,4 6,4")
# The uninstaller: the same box with a red cross over it.
remover32=(-fill '#000080' -stroke '#000000' -draw "roundrectangle 2,12 29,29 3,3"
  -fill '#0000FF' -stroke none -draw "rectangle 5,15 26,26"
  -stroke '#FF0000' -strokewidth 4 -draw "line 7,4 25,26" -draw "line 25,4 7,26")
remover16=(-fill '#000080' -stroke '#000000' -draw "rectangle 1,6 14,14"
  -fill '#0000FF' -stroke none -draw "rectangle 3,8 12,12"
  -stroke '#FF0000' -strokewidth 2 -draw "line 3,2 12,13" -draw "line 12,2 3,13")

make_icon() { # out, names of the 32-pixel and 16-pixel draw lists
  local -n big=$2 small=$3
  "$im" -size 32x32 xc:'#C0C0C0' +antialias "${big[@]}" -type Palette -colors 16 -strip "$work/i32.bmp"
  "$im" -size 16x16 xc:'#C0C0C0' +antialias "${small[@]}" -type Palette -colors 16 -strip "$work/i16.bmp"
  "$im" "$work/i32.bmp" "$work/i16.bmp" -strip "$1"
}
make_icon "$here/orvinst.ico" setup32 setup16
make_icon "$here/remover.ico" remover32 remover16
