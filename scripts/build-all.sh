#!/usr/bin/env bash
# Configures and builds the CMake presets (native, windows, fuzz; or those named) in build/.
# A preset that fails does not stop the others; the exit code is 1 if any failed.
#   build-all.sh [PRESET...]
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

presets=("$@")
[[ ${#presets[@]} -gt 0 ]] || presets=(native windows fuzz)

failed=()
for preset in "${presets[@]}"; do
  # The fuzz preset adds tests/fuzz, which holds the fuzz targets once they are written.
  if [[ $preset == fuzz && ! -f tests/fuzz/CMakeLists.txt ]]; then
    echo "build-all: skipping the fuzz preset: tests/fuzz/CMakeLists.txt does not exist yet"
    continue
  fi
  echo "build-all: === $preset ==="
  start=$SECONDS
  if cmake --preset "$preset" && cmake --build --preset "$preset"; then
    echo "build-all: $preset built in $((SECONDS - start)) s"
  else
    echo "build-all: $preset FAILED after $((SECONDS - start)) s" >&2
    failed+=("$preset")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "build-all: failed: ${failed[*]}" >&2
  exit 1
fi
