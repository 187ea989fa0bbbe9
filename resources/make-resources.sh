#!/usr/bin/env bash
# Draws the skin maker's embedded pictures with ImageMagick: the browser toolbar that the preview
# shows over the skin (toolbar.gif) and the program icon (tessary.ico). Re-running it rewrites both.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# /usr/local/bin may hold a stand-in that only converts for viewing; draw with the real program.
if [[ -x /usr/bin/convert ]]; then
  im=(/usr/bin/convert)
elif command -v magick >/dev/null; then
  im=(magick)
else
  echo "make-resources.sh: ImageMagick's convert is needed (apt-get install imagemagick)" >&2
  exit 1
fi

font_dir=/usr/share/fonts/truetype/dejavu
sans=$font_dir/DejaVuSans.ttf
sans_bold=$font_dir/DejaVuSans-Bold.ttf
for f in "$sans" "$sans_bold"; do
  [[ -f $f ]] || { echo "make-resources.sh: font $f is missing (apt-get install fonts-dejavu-core)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- The toolbar: 800 × 92 pixels, three rows on a transparent ground. ---
# Shapes are drawn without anti-aliasing: a GIF pixel is either opaque or transparent, and a
# blended edge would show as a fringe of the drawing colour over any skin.
ink='#000000'
face='#D4D0C8'
shadow='#808080'
light='#FFFFFF'

draw=()
add() { draw+=(-draw "$1"); }

# A band gripper: a raised vertical bar at the left of each row.
gripper() { # x top bottom
  add "fill $light stroke none rectangle $1,$2 $(($1 + 1)),$3"
  add "fill $shadow stroke none rectangle $(($1 + 2)),$(($2 + 1)) $(($1 + 2)),$(($3 + 1))"
}
# An etched vertical separator between button groups.
separator() { # x top bottom
  add "fill $shadow stroke none rectangle $1,$2 $1,$3"
  add "fill $light stroke none rectangle $(($1 + 1)),$2 $(($1 + 1)),$3"
}
# The small drop-down arrow some buttons carry at their right.
drop_arrow() { # x y
  add "fill $ink stroke none polygon $1,$2 $(($1 + 4)),$2 $(($1 + 2)),$(($2 + 2))"
}

# Row 1: the menu bar, y 0..21.
gripper 2 3 18
# Row 2: the standard buttons, y 23..65; icons on a 24-pixel box whose top is y 26.
gripper 2 26 61
# Row 3: the address bar, y 67..91.
gripper 2 70 87

# Buttons: caption and centre x. Icons are drawn below per button.
captions=(Back Forward Stop Refresh Home Search Favorites History Mail Print)
centres=(38 94 148 196 244 306 364 422 486 538)

cx=${centres[0]} # Back: green disc, arrow to the left, drop-down arrow
add "fill #2E9E3E stroke #1B6B27 circle $cx,38 $((cx + 11)),38"
add "fill $light stroke none polygon $((cx - 7)),38 $((cx - 1)),32 $((cx - 1)),35 $((cx + 6)),35 $((cx + 6)),41 $((cx - 1)),41 $((cx - 1)),44"
drop_arrow $((cx + 16)) 37

cx=${centres[1]} # Forward: the same, to the right
add "fill #2E9E3E stroke #1B6B27 circle $cx,38 $((cx + 11)),38"
add "fill $light stroke none polygon $((cx + 7)),38 $((cx + 1)),32 $((cx + 1)),35 $((cx - 6)),35 $((cx - 6)),41 $((cx + 1)),41 $((cx + 1)),44"
drop_arrow $((cx + 16)) 37

cx=${centres[2]} # Stop: red octagon with a white cross
add "fill #D42B2B stroke #8E1616 polygon $((cx - 5)),27 $((cx + 5)),27 $((cx + 11)),33 $((cx + 11)),43 $((cx + 5)),49 $((cx - 5)),49 $((cx - 11)),43 $((cx - 11)),33"
add "stroke $light stroke-width 3 line $((cx - 5)),32 $((cx + 5)),44"
add "stroke $light stroke-width 3 line $((cx + 5)),32 $((cx - 5)),44"

cx=${centres[3]} # Refresh: a page with two turning arrows
add "fill $light stroke $shadow rectangle $((cx - 9)),27 $((cx + 9)),49"
add "fill none stroke #2E9E3E stroke-width 2 arc $((cx - 6)),31 $((cx + 6)),45 200,340"
add "fill none stroke #2E9E3E stroke-width 2 arc $((cx - 6)),31 $((cx + 6)),45 20,160"
add "fill #2E9E3E stroke none polygon $((cx + 3)),29 $((cx + 8)),33 $((cx + 2)),35"
add "fill #2E9E3E stroke none polygon $((cx - 3)),47 $((cx - 8)),43 $((cx - 2)),41"

cx=${centres[4]} # Home: a house
add "fill #F2E3B3 stroke #8A6D3B rectangle $((cx - 8)),38 $((cx + 8)),49"
add "fill #C0392B stroke #7B241C polygon $((cx - 12)),39 $cx,27 $((cx + 12)),39"
add "fill #8A6D3B stroke none rectangle $((cx - 2)),42 $((cx + 2)),49"
add "fill #7FB3E6 stroke #8A6D3B rectangle $((cx + 4)),41 $((cx + 7)),44"

separator 272 26 61

cx=${centres[5]} # Search: a magnifying glass
add "stroke #6B4423 stroke-width 4 line $((cx + 3)),41 $((cx + 10)),48"
add "fill #CFE8FF stroke #333333 stroke-width 2 circle $((cx - 3)),35 $((cx + 5)),35"

cx=${centres[6]} # Favorites: a star
add "fill #F5C518 stroke #A57C00 polygon $cx,26 $((cx + 3)),34 $((cx + 11)),35 $((cx + 5)),40 $((cx + 7)),48 $cx,44 $((cx - 7)),48 $((cx - 5)),40 $((cx - 11)),35 $((cx - 3)),34"

cx=${centres[7]} # History: a clock
add "fill $light stroke #2C5AA0 stroke-width 2 circle $cx,38 $((cx + 10)),38"
add "stroke $ink stroke-width 2 line $cx,38 $cx,31"
add "stroke $ink stroke-width 2 line $cx,38 $((cx + 5)),41"

separator 454 26 61

cx=${centres[8]} # Mail: an envelope, drop-down arrow
add "fill $light stroke #555555 rectangle $((cx - 11)),30 $((cx + 11)),46"
add "fill none stroke #555555 polyline $((cx - 11)),30 $cx,39 $((cx + 11)),30"
drop_arrow $((cx + 16)) 37

cx=${centres[9]} # Print: a printer with paper
add "fill $light stroke #777777 rectangle $((cx - 7)),27 $((cx + 7)),37"
add "fill #B0B0B0 stroke #555555 rectangle $((cx - 11)),35 $((cx + 11)),45"
add "fill #3FBF3F stroke none rectangle $((cx + 7)),38 $((cx + 8)),39"
add "fill $light stroke #777777 rectangle $((cx - 7)),43 $((cx + 7)),49"

# Row 3: the address box with its page icon and drop-down button, Go, Links.
add "fill $light stroke #7F9DB9 rectangle 62,69 690,89"
add "fill $light stroke #6A6A6A rectangle 66,72 78,86"
add "fill #2C7BD6 stroke none circle 72,79 76,79"
add "fill $face stroke $shadow rectangle 672,71 688,87"
add "fill $ink stroke none polygon 677,77 684,77 680,81"
add "fill #2E9E3E stroke #1B6B27 rectangle 698,71 714,87"
add "fill $light stroke none polygon 711,79 705,74 705,77 701,77 701,81 705,81 705,84"
separator 744 70 87
add "fill $ink stroke none polygon 784,76 787,79 784,82"
add "fill $ink stroke none polygon 788,76 791,79 788,82"

# The logo box at the right end of the menu bar: a globe in a dark square.
add "fill #1F2F5C stroke #0E1630 rectangle 764,1 797,20"
add "fill #4FA3E8 stroke none circle 780,10 787,10"
add "fill none stroke $light ellipse 780,10 3,7 0,360"
add "fill none stroke $light line 773,10 787,10"

text=()
label() { # font size x y text, top-left placed
  text+=(-font "$1" -pointsize "$2" -annotate "+$3+$4" "$5")
}
# Menu bar.
x=12
for item in File Edit View Favorites Tools Help; do
  label "$sans" 11 $x 4 "$item"
  case $item in
    File) x=$((x + 34)) ;; Edit) x=$((x + 34)) ;; View) x=$((x + 40)) ;;
    Favorites) x=$((x + 64)) ;; Tools) x=$((x + 42)) ;;
  esac
done
# Captions under the buttons, centred on each button (gravity North measures from the middle).
captions_args=(-gravity North)
for i in "${!captions[@]}"; do
  offset=$((centres[i] - 400))
  sign=+
  ((offset < 0)) && sign=
  captions_args+=(-font "$sans" -pointsize 11 -annotate "${sign}${offset}+51" "${captions[i]}")
done
# Address bar.
label "$sans" 11 10 72 "Address"
label "$sans" 11 83 72 "http://www.tessary.example/"
label "$sans" 11 718 72 "Go"
label "$sans" 11 750 72 "Links"

"${im[@]}" -size 800x92 xc:none +antialias -strokewidth 1 "${draw[@]}" \
  -fill "$ink" -stroke none -gravity NorthWest "${text[@]}" "${captions_args[@]}" \
  "$work/toolbar.png"
# Pixels are either fully opaque or fully transparent; the GIF keeps one transparent colour.
"${im[@]}" "$work/toolbar.png" -channel A -threshold 50% +channel +dither -colors 64 \
  -transparent-color "#FF00FF" -strip "$here/toolbar.gif"

# --- The icon: a window with a patterned toolbar strip, 32 × 32 and 16 × 16. ---
"${im[@]}" -size 32x32 xc:none -antialias \
  -fill '#2A6FD6' -stroke '#123F85' -draw "roundrectangle 1,3 30,28 4,4" \
  -fill '#F4F4F4' -stroke none -draw "rectangle 4,13 27,25" \
  -fill '#F5A623' -draw "rectangle 4,6 27,11" \
  -fill '#E05A1E' -draw "rectangle 4,6 7,8 rectangle 12,6 15,8 rectangle 20,6 23,8" \
  -fill '#E05A1E' -draw "rectangle 8,9 11,11 rectangle 16,9 19,11 rectangle 24,9 27,11" \
  -fill '#2A6FD6' -font "$sans_bold" -pointsize 12 -gravity North -annotate +0+12 T \
  -strip "$work/icon32.png"
"${im[@]}" -size 16x16 xc:none +antialias \
  -fill '#2A6FD6' -stroke '#123F85' -draw "roundrectangle 0,1 15,14 2,2" \
  -fill '#F5A623' -stroke none -draw "rectangle 2,3 13,5" \
  -fill '#E05A1E' -draw "rectangle 2,3 3,4 rectangle 6,3 7,4 rectangle 10,3 11,4" \
  -fill '#F4F4F4' -draw "rectangle 2,7 13,12" \
  -fill '#2A6FD6' -draw "rectangle 5,8 10,8 rectangle 7,8 8,12" \
  -strip "$work/icon16.png"
"${im[@]}" "$work/icon32.png" "$work/icon16.png" "$here/tessary.ico"
