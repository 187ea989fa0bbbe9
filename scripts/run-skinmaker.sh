#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the skin maker under Wine on your X
# display. It keeps "Skin.bmp" and its collection beside the program, in build/windows/skinmaker
# (build/windows64/skinmaker where the kernel refuses 32-bit programs).
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
repo=$(pwd)
skinmaker=build/windows/skinmaker/Tessary.exe

./scripts/setup-deps.sh || exit 1
build_status=0
./scripts/build-all.sh || build_status=$?
# A kernel that refuses 32-bit programs gets the x86-64 build of the same skin maker; a 32-bit
# loader that fails otherwise is reported, not worked around.
path_status=0
path_reason=$(source scripts/wine-env.sh && tess_can_run_32bit; status=$?
  echo "$tess_32bit_reason"; exit "$status") || path_status=$?
if [[ $path_status -eq 1 ]]; then
  echo "run-skinmaker: starting the x86-64 build: $path_reason"
  skinmaker=build/windows64/skinmaker/Tessary.exe
  ./scripts/build-all.sh windows64 || build_status=$?
elif [[ $path_status -ne 0 ]]; then
  echo "run-skinmaker: the skin maker cannot start: $path_reason" >&2
  exit 1
fi

if [[ ! -f $skinmaker ]]; then
  echo "run-skinmaker: the build made no skin maker ($skinmaker); see the build output above" >&2
  exit 1
fi

if [[ $build_status -ne 0 ]]; then
  echo "run-skinmaker: part of the build failed (see above); starting the last built skin maker" >&2
fi
if ! ./scripts/xvfb.sh check; then
  echo "run-skinmaker: no X display answers (DISPLAY=${DISPLAY:-unset}); start this from a" \
    "desktop session or set DISPLAY" >&2
  exit 1
fi
# The skin maker keeps its settings in a prefix of its own that lasts between starts.
export TESS_WINEPREFIX=${TESS_WINEPREFIX:-$repo/build/wine/user}
if [[ ! -d $TESS_WINEPREFIX/dosdevices ]]; then
  ./scripts/wine-prefix.sh new-desktop "$TESS_WINEPREFIX" || exit 1
fi
export TESS_WINE_TIMEOUT=0
exec ./scripts/wine-run.sh "$skinmaker" "$@"
