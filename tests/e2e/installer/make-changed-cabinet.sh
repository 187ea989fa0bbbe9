#!/bin/sh
# A cabinet like the distributable's but for one byte of the skin maker, made again with gcab:
# make-changed-cabinet.sh EXTRACTED_FOLDER OUTPUT_CABINET
set -eu
extracted=$1
cabinet=$2
staging=$(dirname "$cabinet")/staging
rm -rf "$staging"
mkdir -p "$staging"
cp "$extracted/Tessary.exe" "$extracted/remover.exe" "$staging/"
# The lowest bit of the byte at 4096, inside the program's code, flipped in place.
at=4096
old=$(od -An -tu1 -j "$at" -N1 "$staging/Tessary.exe" | tr -d ' ')
printf "\\$(printf '%03o' $((old ^ 1)))" | dd of="$staging/Tessary.exe" bs=1 seek="$at" conv=notrunc status=none
if cmp -s "$extracted/Tessary.exe" "$staging/Tessary.exe"; then
  echo "make-changed-cabinet.sh: the skin maker did not change" >&2
  exit 1
fi
rm -f "$cabinet"
cd "$staging"
gcab -c -z -n "$cabinet" Tessary.exe remover.exe
