#!/usr/bin/env bash
# Runs a Windows test program like wine-run.sh, in a fresh prefix that has one more drive letter:
#   missing  a drive whose target folder does not exist, so that the program meets a drive it
#            cannot read
#   network  a network drive (its target an empty folder of the prefix), as a mapped share is
#
#   run-with-drive.sh missing|network LETTER PROGRAM.exe [ARG...]
set -euo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../scripts" && pwd)
source "$scripts_dir/wine-env.sh"

[[ $# -ge 3 && $1 =~ ^(missing|network)$ && $2 =~ ^[a-y]$ ]] ||
  { echo "usage: run-with-drive.sh missing|network LETTER PROGRAM.exe [ARG...]" >&2; exit 125; }
kind=$1
letter=$2
shift 2

mkdir -p "$TESS_WINE_ROOT/runs"
prefix=$(mktemp -d "$TESS_WINE_ROOT/runs/$kind-drive-XXXXXX")
trap '"$scripts_dir/wine-prefix.sh" remove "$prefix"' EXIT
"$scripts_dir/wine-prefix.sh" new "$prefix"
target=$prefix/$kind-drive-target
if [[ $kind == network ]]; then
  mkdir -p "$target"
  # Wine's mount manager reads the drive types from the registry when the prefix starts.
  printf '\n[Software\\\\Wine\\\\Drives]\n"%s:"="network"\n' "$letter" >>"$prefix/system.reg"
fi
ln -s "$target" "$prefix/dosdevices/$letter:"
# The program is stopped with the prefix: nothing it leaves is looked at afterwards.
status=0
TESS_WINEPREFIX=$prefix TESS_WINE_SETTLE=0 "$scripts_dir/wine-run.sh" "$@" || status=$?
exit "$status"
