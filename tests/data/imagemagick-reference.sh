#!/bin/sh
# Writes ImageMagick's decoding of one test picture as raw 8-bit RGBA for the picture loader's tests
# to compare with: a GIF's first image laid on its logical screen, a bitmap without its fourth byte,
# a PNG's samples as they are (partial alpha too) reduced to 8 bits. ImageMagick's "-depth 8"
# truncates a 16-bit sample v to v / 257, while its writers of 8-bit files round it to
# (v + 128) / 257; a PNG is therefore written as a 32-bit bitmap first, whose 8-bit RGBA then
# passes unchanged.
#   imagemagick-reference.sh PICTURE OUTPUT
# ImageMagick keeps what it decoded of an RLE bitmap whose end of bitmap comes before its last row,
# but says the data ended early and fails; what it wrote still counts.
set -u
in=$1 out=$2
rm -f "$out"
# /usr/local/bin may hold a stand-in for convert; decode with the real program.
case $in in
*.bmp) /usr/bin/convert "$in[0]" -alpha off -background none -flatten -depth 8 "RGBA:$out" 2>/dev/null ;;
*.png)
    /usr/bin/convert "$in" -type TrueColorAlpha "BMP:$out.bmp" 2>/dev/null &&
        /usr/bin/convert "$out.bmp" -depth 8 "RGBA:$out" 2>/dev/null
    rm -f "$out.bmp" ;;
*) /usr/bin/convert "$in[0]" -background none -flatten -depth 8 "RGBA:$out" 2>/dev/null ;;
esac
test -s "$out"
