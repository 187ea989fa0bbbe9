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
# Above 96 DPI Windows installs the raster faces drawn for 120 DPI instead of those for 96.
fonts=$prefix/drive_c/windows/Fonts
if [[ $dpi -gt 96 && -f /usr/share/wine/fonts/sseriff.fon ]]; then
  rm -f "$fonts/sserife.fon"
  cp /usr/share/wine/fonts/sseriff.fon "$fonts/"
fi
# The user's setting is what the system reports; Wine's font setup reads the hardware
# profile's, and picks the raster faces drawn for that DPI from it.
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  WINEPREFIX=$prefix timeout 120 env -u DISPLAY "$tess_wine" reg add "$key" /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || { echo "run-at-dpi.sh: cannot set $key" >&2; exit 125; }
done
# The wineserver writes the registry to disk as it exits.
tess_stop_prefix "$prefix" 60
status=0
TESS_EXPECTED_DPI=$dpi TESS_WINEPREFIX=$prefix TESS_WINE_SETTLE=0 "$scripts_dir/wine-run.sh" "$@" || status=$?
exit "$status"
