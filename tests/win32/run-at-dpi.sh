#!/usr/bin/env bash
# Runs a Windows test program like wine-run.sh, in a fresh prefix whose screen has the given
# DPI, and tells the program which DPI to expect (TESS_EXPECTED_DPI).
#
#   run-at-dpi.sh DPI PROGRAM.exe [ARG...]
set -euo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
source "$scripts_dir/wine-env.sh"

[[ $# -ge 2 && $1 =~ ^[0-9]+$ ]] || { echo "usage: run-at-dpi.sh DPI PROGRAM.exe [ARG...]" >&2; exit 125; }
dpi=$1
shift

mkdir -p "$TESS_WINE_ROOT/runs"
prefix=$(mktemp -d "$TESS_WINE_ROOT/runs/dpi-$dpi-XXXXXX")
trap '"$scripts_dir/wine-prefix.sh" remove "$prefix"' EXIT
"$scripts_dir/wine-prefix.sh" new "$prefix"
"$scripts_dir/wine-prefix.sh" set-dpi "$prefix" "$dpi" || exit 125
status=0
TESS_EXPECTED_DPI=$dpi TESS_WINEPREFIX=$prefix TESS_WINE_SETTLE=0 "$scripts_dir/wine-run.sh" "$@" || status=$?
exit "$status"
