#!/usr/bin/env bash
# Runs a Windows test program like wine-run.sh, in a fresh prefix that has one more drive letter
# whose target folder does not exist, so that the program meets a drive it cannot read.
#
#   run-with-missing-drive.sh LETTER PROGRAM.exe [ARG...]
set -euo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../scripts" && pwd)
source "$scripts_dir/wine-env.sh"

[[ $# -ge 2 && $1 =~ ^[a-y]$ ]] || { echo "usage: run-with-missing-drive.sh LETTER PROGRAM.exe [ARG...]" >&2; exit 125; }
letter=$1
shift

mkdir -p "$TESS_WINE_ROOT/runs"
prefix=$(mktemp -d "$TESS_WINE_ROOT/runs/missing-drive-XXXXXX")
trap '"$scripts_dir/wine-prefix.sh" remove "$prefix"' EXIT
"$scripts_dir/wine-prefix.sh" new "$prefix"
missing=$prefix/missing-drive-target
ln -s "$missing" "$prefix/dosdevices/$letter:"
# The program is stopped with the prefix: nothing it leaves is looked at afterwards.
status=0
TESS_WINEPREFIX=$prefix TESS_WINE_SETTLE=0 "$scripts_dir/wine-run.sh" "$@" || status=$?
exit "$status"
