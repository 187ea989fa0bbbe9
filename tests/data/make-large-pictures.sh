#!/usr/bin/env bash
# Makes the large test pictures at build time rather than keeping megabytes of them in the
# repository: a bitmap announcing 8192 x 8192 pixels in 1080 bytes and two big JPEGs.
#
#   make-large-pictures.sh OUT_FOLDER
set -euo pipefail
out=$1
mkdir -p "$out"
convert=/usr/bin/convert

# RLE8, 8192 x 8192: the file header, a version 1 info header, a palette of 256 zero entries and
# one end-of-picture code, so every pixel is skipped (the loader's tests build the same bytes).
{
  printf 'BM\x38\x04\0\0\0\0\0\0\x36\x04\0\0'
  printf '\x28\0\0\0\0\x20\0\0\0\x20\0\0\x01\0\x08\0\x01\0\0\0'
  head -c $((20 + 1024)) /dev/zero
  printf '\0\x01'
} >"$out/huge-rle8-8192x8192.bmp.part"
mv "$out/huge-rle8-8192x8192.bmp.part" "$out/huge-rle8-8192x8192.bmp"

# A 48-megapixel photograph's size, and the tallest picture the skin maker takes at 96 DPI:
# 1600 pixels are exactly 24000 twips wide, 16384 rows are the loader's limit. Debian's policy
# holds ImageMagick to 16000 pixels a side; a policy file of our own, found first, allows more.
cat >"$out/policy.xml" <<'POLICY'
<policymap>
  <policy domain="resource" name="width" value="32KP"/>
  <policy domain="resource" name="height" value="32KP"/>
</policymap>
POLICY
export MAGICK_CONFIGURE_PATH=$out
"$convert" -size 8000x6000 gradient:orange-purple -quality 70 "$out/photo-8000x6000.part.jpg"
mv "$out/photo-8000x6000.part.jpg" "$out/photo-8000x6000.jpg"
"$convert" -size 1600x16384 gradient:navy-gold -quality 70 "$out/tall-1600x16384.part.jpg"
mv "$out/tall-1600x16384.part.jpg" "$out/tall-1600x16384.jpg"
