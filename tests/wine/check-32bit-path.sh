#!/usr/bin/env bash
# Checks the rule that picks the Windows tests' path (scripts/wine-env.sh): only a kernel's
# "Exec format error" sends them to the x86-64 build; every other failure fails the run.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"

folder=$(mktemp -d "${TMPDIR:-/tmp}/tess-32bit-XXXXXX")
trap 'rm -rf "$folder"' EXIT
failures=0

# expect STATUS TEXT PROGRAM LOADER: the path tess_32bit_path_for gives, and a text of its reason.
expect() {
  local want=$1 text=$2 status=0
  tess_32bit_path_for "$3" "$4" || status=$?
  if [[ $status -ne $want || $tess_32bit_reason != *"$text"* ]]; then
    echo "FAIL: $3 with $4: path $status ($tess_32bit_reason), expected $want (…$text…)" >&2
    failures=$((failures + 1))
  else
    echo "check-32bit-path: $3 with $4: $status ($tess_32bit_reason)"
  fi
}

# The test program itself: on this kernel it either ends with 0 or is refused; a malformed one
# would crash.
tess_write_i386_probe "$folder/i386"
status=0
tess_32bit_path_for "$folder/i386" /bin/true || status=$?
if [[ $status -eq 2 ]]; then
  echo "FAIL: the 32-bit test program: $tess_32bit_reason" >&2
  failures=$((failures + 1))
fi

# The same program marked for the ARM (e_machine 40), which an x86 kernel refuses with ENOEXEC.
cp "$folder/i386" "$folder/arm"
printf '\x28' | dd of="$folder/arm" bs=1 seek=18 conv=notrunc status=none
expect 1 "Exec format error" "$folder/arm" /bin/true
# A program that runs but a loader that is missing or fails: never the other build.
expect 2 "install wine32" /bin/true "$folder/no-such-wine"
printf '#!/bin/sh\necho "wine: broken" >&2\nexit 3\n' >"$folder/broken-wine"
chmod +x "$folder/broken-wine"
expect 2 "exit code 3: wine: broken" /bin/true "$folder/broken-wine"
# A program that fails otherwise.
expect 2 "exit code 1" /bin/false /bin/true

[[ $failures -eq 0 ]] || exit 1
echo "check-32bit-path: the x86-64 path is taken only on \"Exec format error\""
