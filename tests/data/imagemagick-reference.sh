#!/bin/sh
# Writes ImageMagick's decoding of one test picture as raw 8-bit RGBA for the picture loader's tests
# to compare with: a GIF's first image laid on its logical screen, a bitmap without its fourth byte.
#   imagemagick-reference.sh PICTURE OUTPUT
# ImageMagick keeps what it decoded of an RLE bitmap whose end of bitmap comes before its last row,
# but says the data ended early and fails; what it wrote still counts.
set -u
in=$1 out=$2
case $in in
*.bmp) alpha="-alpha off" ;;
*) alpha="" ;;
esac
rm -f "$out"
# /usr/local/bin may hold a stand-in for convert; decode with the real program.
/usr/bin/convert "$in[0]" $alpha -background none -flatten -depth 8 "RGBA:$out" 2>/dev/null
test -s "$out"
