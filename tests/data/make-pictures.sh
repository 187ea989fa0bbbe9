#!/bin/bash
# Makes the valid test pictures under pictures/ with ImageMagick's convert (version 6 or 7) from
# small patterns written out as ImageMagick pixel enumerations. The patterns are the ones that
# tests/unit/picture_loader_test.cpp computes again to check the decoded pixels:
#   rgb      7x5   (20 + 30x, 10 + 55y, (23xy + 7x + 90) mod 256)                 35 colours
#   holes    7x5   rgb, with alpha 0 where (x + 2y) mod 5 = 0                         (GIF, 32-bit BMP)
#   sixteen  7x5   colour i = (x + 3y) mod 16 as (16i, 255 - 16i, 37i mod 256)       16 colours
#   mono     7x5   white where (3x + y) mod 5 < 2, else black                        2 colours
#   smooth   9x7   (40 + 20x, 60 + 15y, 200 - 10x - 8y)                              for JPEG
#   other    7x5   (200 - 20x, 30y, 120)                                             2nd GIF frame
#   grey     9x7   (v, v, v) with v = 40 + 15x + 12y                                 grey JPEG
# The outputs are committed; run this again only to change them, then check `git diff --stat`.
set -euo pipefail

cd "$(dirname "$0")"
out=pictures
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert=${CONVERT:-convert}

# pattern NAME WIDTH HEIGHT: the pattern as an ImageMagick pixel enumeration (srgba).
pattern() {
    awk -v name="$1" -v w="$2" -v h="$3" 'BEGIN {
        printf "# ImageMagick pixel enumeration: %d,%d,255,srgba\n", w, h
        for (y = 0; y < h; y++) for (x = 0; x < w; x++) {
            a = 255
            if (name == "rgb" || name == "holes") {
                r = 20 + 30 * x; g = 10 + 55 * y; b = (23 * x * y + 7 * x + 90) % 256
                if (name == "holes" && (x + 2 * y) % 5 == 0) a = 0
            } else if (name == "sixteen") {
                i = (x + 3 * y) % 16; r = 16 * i; g = 255 - 16 * i; b = (37 * i) % 256
            } else if (name == "mono") {
                v = ((3 * x + y) % 5 < 2) ? 255 : 0; r = v; g = v; b = v
            } else if (name == "smooth") {
                r = 40 + 20 * x; g = 60 + 15 * y; b = 200 - 10 * x - 8 * y
            } else if (name == "other") {
                r = 200 - 20 * x; g = 30 * y; b = 120
            } else if (name == "grey") {
                r = 40 + 15 * x + 12 * y; g = r; b = r
            }
            printf "%d,%d: (%d,%d,%d,%d)\n", x, y, r, g, b, a
        }
    }' > "$work/$1.txt"
}
for p in "rgb 7 5" "holes 7 5" "sixteen 7 5" "mono 7 5" "smooth 9 7" "other 7 5" "grey 9 7"; do
    pattern $p
done
src() { echo "txt:$work/$1.txt"; }

u16() { od -An -tu2 -j"$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
expect() {  # expect FILE WHAT ACTUAL WANTED
    if [ "$3" != "$4" ]; then
        echo "make-pictures: $1: $2 is $3, wanted $4" >&2
        exit 1
    fi
}

# GIF: transparency, GIF87a, interlacing, two frames (only the first is read), a first image
# smaller than the picture.
"$convert" "$(src holes)" "GIF:$out/gif-transparent.gif"
"$convert" "$(src rgb)" -alpha off "GIF87:$out/gif87-opaque.gif"
"$convert" "$(src rgb)" -alpha off -interlace GIF "GIF:$out/gif-interlaced.gif"
"$convert" "$(src rgb)" "$(src other)" -alpha off -delay 10 "GIF:$out/gif-two-frames.gif"
# A first image of 3x3 at (2, 1) on a 7x5 screen whose background colour is index 1 (black).
"$convert" -size 3x3 xc:red -background blue -repage 7x5+2+1 "GIF:$out/gif-small-frame.gif"
printf '\001' | dd of="$out/gif-small-frame.gif" bs=1 seek=11 conv=notrunc status=none
expect gif87-opaque.gif signature "$(head -c 6 "$out/gif87-opaque.gif")" GIF87a
expect gif-transparent.gif signature "$(head -c 6 "$out/gif-transparent.gif")" GIF89a

# JPEG: baseline 4:4:4, progressive 4:2:0, greyscale.
"$convert" "$(src smooth)" -alpha off -quality 95 -sampling-factor 1x1 -interlace none \
    "JPEG:$out/jpeg-baseline.jpg"
"$convert" "$(src smooth)" -alpha off -quality 95 -sampling-factor 2x2 -interlace JPEG \
    "JPEG:$out/jpeg-progressive.jpg"
"$convert" "$(src grey)" -alpha off -colorspace Gray -quality 95 "JPEG:$out/jpeg-grey.jpg"
grep -q $'\xff\xc2' "$out/jpeg-progressive.jpg" || { echo "make-pictures: not progressive" >&2; exit 1; }
grep -q $'\xff\xc0' "$out/jpeg-baseline.jpg" || { echo "make-pictures: not baseline" >&2; exit 1; }

# Bitmaps: 1, 4, 8, 16, 24 and 32 bits per pixel, OS/2-style 12-byte headers, RLE.
"$convert" "$(src mono)" -alpha off -type Palette -colors 2 -compress None "BMP3:$out/bmp-1bit.bmp"
"$convert" "$(src sixteen)" -alpha off -type Palette -compress None "BMP3:$out/bmp-4bit.bmp"
"$convert" "$(src rgb)" -alpha off -type Palette -compress None "BMP3:$out/bmp-8bit.bmp"
"$convert" "$(src rgb)" -alpha off -define bmp:subtype=RGB555 "BMP:$out/bmp-16bit.bmp"
"$convert" "$(src rgb)" -alpha off -type TrueColor "BMP3:$out/bmp-24bit.bmp"
"$convert" "$(src holes)" -type TrueColorAlpha "BMP:$out/bmp-32bit-alpha.bmp"
"$convert" "$(src rgb)" -alpha off -type TrueColor "BMP2:$out/bmp-os2-24bit.bmp"
"$convert" "$(src rgb)" -alpha off -type Palette "BMP2:$out/bmp-os2-8bit.bmp"
"$convert" "$(src rgb)" -alpha off -type Palette -compress RLE "BMP3:$out/bmp-8bit-rle.bmp"
expect bmp-1bit.bmp bpp "$(u16 "$out/bmp-1bit.bmp" 28)" 1
expect bmp-4bit.bmp bpp "$(u16 "$out/bmp-4bit.bmp" 28)" 4
expect bmp-8bit.bmp bpp "$(u16 "$out/bmp-8bit.bmp" 28)" 8
expect bmp-16bit.bmp bpp "$(u16 "$out/bmp-16bit.bmp" 28)" 16
expect bmp-24bit.bmp bpp "$(u16 "$out/bmp-24bit.bmp" 28)" 24
expect bmp-32bit-alpha.bmp bpp "$(u16 "$out/bmp-32bit-alpha.bmp" 28)" 32
expect bmp-os2-24bit.bmp "header size" "$(u32 "$out/bmp-os2-24bit.bmp" 14)" 12
expect bmp-os2-8bit.bmp "header size" "$(u32 "$out/bmp-os2-8bit.bmp" 14)" 12
expect bmp-os2-8bit.bmp bpp "$(u16 "$out/bmp-os2-8bit.bmp" 24)" 8
expect bmp-8bit-rle.bmp compression "$(u32 "$out/bmp-8bit-rle.bmp" 30)" 1
for f in bmp-1bit bmp-4bit bmp-8bit bmp-24bit; do
    expect $f.bmp compression "$(u32 "$out/$f.bmp" 30)" 0
done

# Two variants convert does not write, edited from its output:
# - a top-down 24-bit bitmap (negative height): rows reversed, height negated;
# - an 8-bit bitmap whose palette holds only the colours used (convert always writes 256).
python3 - "$out" <<'PYTHON'
import struct, sys
out = sys.argv[1]
data = bytearray(open(out + '/bmp-24bit.bmp', 'rb').read())
offset, = struct.unpack_from('<I', data, 10)
width, height = struct.unpack_from('<ii', data, 18)
stride = (width * 3 + 3) // 4 * 4
rows = [data[offset + i * stride: offset + (i + 1) * stride] for i in range(height)]
struct.pack_into('<i', data, 22, -height)
data[offset:offset + stride * height] = b''.join(reversed(rows))
open(out + '/bmp-24bit-topdown.bmp', 'wb').write(data)

data = bytearray(open(out + '/bmp-8bit.bmp', 'rb').read())
offset, = struct.unpack_from('<I', data, 10)
width, height = struct.unpack_from('<ii', data, 18)
stride = (width + 3) // 4 * 4
pixels = data[offset:offset + stride * height]
used = max(pixels[r * stride + c] for r in range(height) for c in range(width)) + 1
header = data[:54]
struct.pack_into('<I', header, 10, 54 + 4 * used)
struct.pack_into('<I', header, 46, used)
short = header + data[54:54 + 4 * used] + pixels
struct.pack_into('<I', short, 2, len(short))
open(out + '/bmp-8bit-short-palette.bmp', 'wb').write(short)
PYTHON

ls -l "$out"
