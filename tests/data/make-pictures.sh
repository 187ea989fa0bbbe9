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

# Bitmaps: 1, 4, 8, 16 (5-5-5 and 5-6-5) and 24 bits per pixel, 32 with a version-5 header and
# masks, OS/2-style 12-byte headers, RLE8.
"$convert" "$(src mono)" -alpha off -type Palette -colors 2 -compress None "BMP3:$out/bmp-1bit.bmp"
"$convert" "$(src sixteen)" -alpha off -type Palette -compress None "BMP3:$out/bmp-4bit.bmp"
"$convert" "$(src rgb)" -alpha off -type Palette -compress None "BMP3:$out/bmp-8bit.bmp"
"$convert" "$(src rgb)" -alpha off -define bmp:subtype=RGB555 "BMP:$out/bmp-16bit.bmp"
"$convert" "$(src rgb)" -alpha off -define bmp:subtype=RGB565 "BMP:$out/bmp-16bit-565.bmp"
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
expect bmp-16bit-565.bmp compression "$(u32 "$out/bmp-16bit-565.bmp" 30)" 3
expect bmp-32bit-alpha.bmp compression "$(u32 "$out/bmp-32bit-alpha.bmp" 30)" 3
expect bmp-32bit-alpha.bmp "header size" "$(u32 "$out/bmp-32bit-alpha.bmp" 14)" 124
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

# Files no encoder at hand writes (ImageMagick writes RLE8 only, and only version-1, version-5 and
# OS/2 1.x headers), made from convert's output or from scratch. The unit tests compare each with
# ImageMagick's decoding of the same file.
python3 - "$out" <<'PYTHON'
import struct, sys
out = sys.argv[1]

def read(name):
    return bytearray(open(out + '/' + name, 'rb').read())

def write(name, data):
    open(out + '/' + name, 'wb').write(bytes(data))

def set_sizes(data, offset):
    struct.pack_into('<I', data, 10, offset)
    struct.pack_into('<I', data, 2, len(data))
    return data

# Shorter headers cut from convert's version-5 ones (each version extends the one before): the
# 32-bit BITFIELDS bitmap with version-2 (52), version-3 (56) and version-4 (108) headers; the
# 16-bit 5-6-5 one with a version-1 header followed by its three masks.
v5 = read('bmp-32bit-alpha.bmp')
for size, name in ((52, 'v2'), (56, 'v3'), (108, 'v4')):
    data = v5[:14 + size] + v5[14 + 124:]
    struct.pack_into('<I', data, 14, size)
    write('bmp-32bit-%s-bitfields.bmp' % name, set_sizes(data, 14 + size))
v5 = read('bmp-16bit-565.bmp')
data = v5[:54] + v5[54:66] + v5[14 + 124:]
struct.pack_into('<I', data, 14, 40)
write('bmp-16bit-565-v1.bmp', set_sizes(data, 66))

# An OS/2 2.x (64-byte) header: the version-1 header of the 8-bit bitmap, extended with zeros.
v1 = read('bmp-8bit.bmp')
data = v1[:54] + bytes(24) + v1[54:]
struct.pack_into('<I', data, 14, 64)
write('bmp-os2v2-8bit.bmp', set_sizes(data, 14 + 64 + 1024))

# An OS/2 1.x 8-bit bitmap whose pixels use the last four of its 256 palette colours.
os2 = read('bmp-os2-8bit.bmp')
offset, = struct.unpack_from('<I', os2, 10)
for i, (r, g, b) in enumerate(((250, 10, 10), (10, 250, 10), (10, 10, 250), (200, 200, 20))):
    os2[26 + 3 * (252 + i):26 + 3 * (253 + i)] = bytes((b, g, r))
    os2[offset + 9 * i] = 252 + i  # rows of 8 bytes: pixels 0, 9, 18, 27 along the diagonal
write('bmp-os2-8bit-last-colours.bmp', os2)

# RLE4 and RLE8 written by hand. rle() codes one row as runs of equal pixels and absolute
# stretches of three or more pixels.
def rle_row(pixels, four):
    out = bytearray()
    i = 0
    while i < len(pixels):
        j = i
        while j < len(pixels) and pixels[j] == pixels[i] and j - i < 255:
            j += 1
        if j - i >= 2 or len(pixels) - i < 3:
            out += bytes((j - i, pixels[i] * 17 if four else pixels[i]))
            i = j
            continue
        j = min(len(pixels), i + 255)
        stretch = pixels[i:j]
        out += bytes((0, len(stretch)))
        if four:
            packed = bytes((stretch[k] << 4 | (stretch[k + 1] if k + 1 < len(stretch) else 0))
                           for k in range(0, len(stretch), 2))
        else:
            packed = bytes(stretch)
        out += packed + bytes(len(packed) % 2)
        i = j
    return out

def rle_bitmap(source, four, rows):
    """`source`: an uncompressed bitmap of convert's whose header and palette are kept; `rows`:
    the coded rows, bottom row first, already ending in their escapes."""
    offset, = struct.unpack_from('<I', source, 10)
    data = source[:offset] + b''.join(rows)
    struct.pack_into('<I', data, 30, 2 if four else 1)
    struct.pack_into('<I', data, 34, len(data) - offset)
    return set_sizes(data, offset)

def rows_of(source, bits):
    offset, = struct.unpack_from('<I', source, 10)
    width, height = struct.unpack_from('<ii', source, 18)
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for r in range(height):
        row = source[offset + r * stride:offset + (r + 1) * stride]
        if bits == 4:
            rows.append([(row[x // 2] >> (0 if x % 2 else 4)) & 15 for x in range(width)])
        else:
            rows.append(list(row[:width]))
    return rows

# The sixteen-colour pattern in RLE4: each row a run of two alternating colours, then an
# absolute stretch of five pixels (three bytes and one of padding).
four = read('bmp-4bit.bmp')
coded = [bytes((2, row[0] << 4 | row[1])) + rle_row(row[2:], True) + b'\0\0'
         for row in rows_of(four, 4)]
coded[-1] = coded[-1][:-2] + b'\0\1'
write('bmp-rle4.bmp', rle_bitmap(four, True, coded))

# The rgb pattern in RLE8 with every escape: the bottom row whole; the next one's first three
# pixels, then a delta of 2 right and 1 up; two pixels there and an early end of line; the
# fourth row whole and an end of bitmap before the top row: 7 + 3 + 2 + 7 = 19 pixels drawn.
eight = read('bmp-8bit.bmp')
pixels = rows_of(eight, 8)
coded = [rle_row(pixels[0], False) + b'\0\0',
         rle_row(pixels[1][:3], False) + b'\0\2\2\1',
         rle_row(pixels[2][5:7], False) + b'\0\0',
         rle_row(pixels[3], False) + b'\0\1']
write('bmp-rle8-delta.bmp', rle_bitmap(eight, False, coded))

# GIFs with codes packed as a decoder reads them: from code size + 1 bits, one wider each time
# the table reaches a power of two, at most 12 bits.
def lzw(code_size, codes):
    clear = 1 << code_size
    width, avail, old, bits, nbits = code_size + 1, clear + 2, -1, 0, 0
    data = bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            data.append(bits & 255)
            bits >>= 8
            nbits -= 8
        if code == clear:
            width, avail, old = code_size + 1, clear + 2, -1
        elif code != clear + 1:
            if old >= 0 and avail < 4096:
                avail += 1
            if avail == 1 << width and width < 12:
                width += 1
            old = code
    if nbits:
        data.append(bits & 255)
    blocks = bytearray()
    for i in range(0, len(data), 255):
        blocks += bytes((len(data[i:i + 255]),)) + data[i:i + 255]
    return blocks + b'\0'

def gif(screen, frame, code_size, codes):
    palette = bytes((255, 0, 0, 0, 160, 0, 0, 0, 255, 250, 250, 250))
    x, y, w, h = frame
    return (b'GIF89a' + struct.pack('<HHBBB', screen[0], screen[1], 0x81, 0, 0) + palette +
            b'\x2c' + struct.pack('<HHHHB', x, y, w, h, 0) + bytes((code_size,)) +
            lzw(code_size, codes) + b'\x3b')

def colours(w, h):
    return [(x + 2 * y) % 4 for y in range(h) for x in range(w)]

# No clear code before the first pixel.
write('gif-no-clear-code.gif', gif((7, 5), (0, 0, 7, 5), 2, colours(7, 5) + [5]))
# A 6x4 first image at (4, 2) on a 7x5 screen: only its top-left 3x3 pixels show.
write('gif-frame-beyond-screen.gif', gif((7, 5), (4, 2, 6, 4), 2, [4] + colours(6, 4) + [5]))
# Code size 11: every code is 12 bits wide from the start.
write('gif-code-size-11.gif', gif((7, 5), (0, 0, 7, 5), 11, [2048] + colours(7, 5) + [2049]))
# 80x60 pixels coded one a code: the table fills after 4090 codes and the stream goes on with
# 12-bit codes, without clearing it.
write('gif-full-table-no-clear.gif', gif((80, 60), (0, 0, 80, 60), 2, [4] + colours(80, 60) + [5]))
PYTHON

ls -l "$out"
