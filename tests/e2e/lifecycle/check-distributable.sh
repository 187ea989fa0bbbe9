#!/usr/bin/env bash
# Checks the distributable with outside tools: the zip holds one folder with the setup program
# and the cabinet; the cabinet is sound and holds exactly the two programs, byte for byte.
#
#   check-distributable.sh DISTRIBUTABLE.zip orvinst.exe Tessary.exe remover.exe
set -euo pipefail
zip=$1 setup=$2 skinmaker=$3 remover=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-distributable: $*" >&2; exit 1; }

listed=$(cd "$work" && unzip -Z1 "$zip" | sort | tr '\n' ' ')
[[ $listed == "Tessary-1.0/ Tessary-1.0/orvinst.exe Tessary-1.0/tess10.cab " ||
   $listed == "Tessary-1.0/orvinst.exe Tessary-1.0/tess10.cab " ]] ||
  fail "unexpected zip contents: $listed"
(cd "$work" && unzip -q "$zip")
cmp "$work/Tessary-1.0/orvinst.exe" "$setup" || fail "orvinst.exe differs from the one built"

cabinet=$work/Tessary-1.0/tess10.cab
cabextract -q -t "$cabinet" || fail "cabextract finds the cabinet damaged"
entries=$(cabextract -l "$cabinet" | awk -F'|' 'NF == 3 && $1 ~ /[0-9]/ { gsub(/^ +| +$/, "", $3); print $3 }' | sort | tr '\n' ' ')
[[ $entries == "Tessary.exe remover.exe " ]] || fail "unexpected cabinet entries: $entries"
mkdir "$work/out"
cabextract -q -d "$work/out" "$cabinet"
cmp "$work/out/Tessary.exe" "$skinmaker" || fail "Tessary.exe in the cabinet differs from the one built"
cmp "$work/out/remover.exe" "$remover" || fail "remover.exe in the cabinet differs from the one built"
echo "check-distributable: zip, cabinet and both programs as built"
