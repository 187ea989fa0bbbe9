#!/usr/bin/env bash
# Runs the skin maker's end-to-end tests under Wine (those a GoogleTest filter selects, when one
# is given), then composes each skin they kept with the host build's composer and fails unless
# both wrote the same bytes.
#   run-and-compare.sh TESTS.exe WORK OUT COMPOSER [FILTER]
set -uo pipefail
tests=$1 work=$2 out=$3 composer=$4 filter=${5:-*}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
rm -rf "$work" "$out"
mkdir -p "$work" "$out"
# A display of its own: the tests read the screen and move the focus, which other tests running
# at the same time on a shared display would disturb. A program that ran no case fails.
env -u DISPLAY "$repo/scripts/run-gtest.sh" "$repo/scripts/wine-run.sh" "$tests" --gtest_filter="$filter"
status=$?
if [[ ! -x $composer ]]; then
  echo "run-and-compare: the host composer $composer is missing (build the native preset)" >&2
  exit 1
fi
compared=0
while read -r name args; do
  [[ -z $name ]] && continue
  # shellcheck disable=SC2086 # the arguments are words written by the tests
  if ! "$composer" $args --out "$out/reference-$name"; then
    echo "run-and-compare: the composer refused: $args" >&2
    status=1
    continue
  fi
  if cmp -s "$out/$name" "$out/reference-$name"; then
    compared=$((compared + 1))
  else
    echo "run-and-compare: $name differs from the composer's skin for: $args" >&2
    status=1
  fi
done < <(tr -d '\r' <"$out/manifest.txt" 2>/dev/null)
echo "run-and-compare: $compared skins identical to the composer's"
if [[ $compared -eq 0 ]]; then
  echo "run-and-compare: no skin was compared" >&2
  status=1
fi
exit "$status"
