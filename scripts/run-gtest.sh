#!/usr/bin/env bash
# Runs a GoogleTest program through the command given (wine-run.sh or a runner like it), fails a
# run of no case or of skipped cases only, and reports the cases passed, failed and skipped.
#
#   run-gtest.sh COMMAND [ARG...]
#
# The program's output passes through unchanged; its exit code is kept when it is not 0. After it
# come, on stderr, the skipped cases with their reasons and the line
#   run-gtest: PROGRAM: P passed, F failed, S skipped
# A failed run counts at least one failure: the run itself, when no case of it failed.
#
# TESS_GTEST_COUNTS=FILE  also append to FILE the line "counts ok|failed P F S PROGRAM" and a line
#                         "skip PROGRAM Suite.Case: reason" for each skipped case; test-all.sh sums
#                         these. Runs in parallel may share the file: each appends under a lock.
set -uo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

[[ $# -ge 1 ]] || { echo "usage: run-gtest.sh COMMAND [ARG...]" >&2; exit 125; }

log=$(mktemp "${TMPDIR:-/tmp}/run-gtest-XXXXXX")
trap 'rm -f "$log"' EXIT
"$@" | tee "$log"
status=${PIPESTATUS[0]}

# The program is the first argument that names an executable file after the runners.
program=
for arg in "$@"; do
  [[ $arg == *.exe || ( -f $arg && -x $arg && $arg != *.sh ) ]] && program=${arg##*/}
  [[ -n $program ]] && break
done
program=${program:-${1##*/}}

text=$(tr -d '\r' <"$log")
# GoogleTest's closing counts, e.g. "[==========] 3 tests from 1 test suite ran. (52 ms total)",
# "[  PASSED  ] 2 tests.", "[  SKIPPED ] 1 test, listed below:", "[  FAILED  ] 1 test, listed
# below:"; a count it does not print is 0.
closing() { sed -nE "s/^$1 ([0-9]+) tests?$2.*/\\1/p" <<<"$text" | tail -n1; }
ran=$(closing '\[==========\]' ' from .* ran\.')
passed=$(closing '\[  PASSED  \]' '\.')
skipped=$(closing '\[  SKIPPED \]' ', listed below:')
failed=$(closing '\[  FAILED  \]' ', listed below:')
passed=${passed:-0} skipped=${skipped:-0} failed=${failed:-0}

verdict=
if [[ $status -ne 0 ]]; then
  verdict="the program ended with exit code $status"
elif [[ -z $ran ]]; then
  verdict="the program did not say how many tests it ran"
elif [[ $ran -eq 0 ]]; then
  verdict="no test ran: the filter selects no case of the program"
elif [[ $skipped -eq $ran ]]; then
  verdict="every case skipped: nothing was tested"
fi
[[ -n $verdict && $failed -eq 0 ]] && failed=1

skips=$("$scripts_dir/gtest-skips.sh" <"$log")
if [[ -n $skips ]]; then
  sed "s/^/run-gtest: skipped /" <<<"$skips" >&2
fi
echo "run-gtest: $program: $passed passed, $failed failed, $skipped skipped" >&2
if [[ -n ${TESS_GTEST_COUNTS:-} ]]; then
  {
    flock 9
    echo "counts $([[ -n $verdict ]] && echo failed || echo ok) $passed $failed $skipped $program"
    [[ -z $skips ]] || sed "s/^/skip $program /" <<<"$skips"
  } 9>>"$TESS_GTEST_COUNTS" >>"$TESS_GTEST_COUNTS"
fi

if [[ -n $verdict ]]; then
  [[ $status -ne 0 ]] || echo "run-gtest.sh: $verdict" >&2
  [[ $status -ne 0 ]] && exit "$status"
  exit 1
fi
exit 0
