#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the skin maker under Wine on your X
# display; as long as the skin maker is not part of the build, it lists what the build made.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
repo=$(pwd)
skinmaker=build/windows/skinmaker/Tessary.exe

./scripts/setup-deps.sh || exit 1
build_status=0
./scripts/build-all.sh || build_status=$?

if [[ ! -f $skinmaker ]]; then
  echo
  echo "The skin maker is not built yet: $skinmaker does not exist. The build made:"
  for preset in windows native fuzz; do
    [[ -d build/$preset ]] || continue
    echo "Programs in build/$preset:"
    find "build/$preset" -name CMakeFiles -prune -o -name googletest -prune -o \
      -type f \( -name '*.exe' -o -perm -u+x \) -print | grep -v '\.sh$' |
      sed "s|^build/$preset/|  |" | sort
    if [[ -f build/$preset/CTestTestfile.cmake ]]; then
      echo "  ($(ctest --test-dir "build/$preset" -N 2>/dev/null | sed -n 's/^Total Tests: //p')" \
        "tests registered; ./scripts/test-all.sh runs them)"
    fi
  done
  exit "$build_status"
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
