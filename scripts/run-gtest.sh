#!/usr/bin/env bash
# Runs a GoogleTest program through the command given (wine-run.sh or a runner like it) and fails
# when the program ran no case: a --gtest_filter that matches nothing would otherwise pass.
#
#   run-gtest.sh COMMAND [ARG...]
#
# The program's output passes through unchanged; its exit code is kept when it is not 0.
set -uo pipefail

[[ $# -ge 1 ]] || { echo "usage: run-gtest.sh COMMAND [ARG...]" >&2; exit 125; }

log=$(mktemp "${TMPDIR:-/tmp}/run-gtest-XXXXXX")
trap 'rm -f "$log"' EXIT
"$@" | tee "$log"
status=${PIPESTATUS[0]}
[[ $status -eq 0 ]] || exit "$status"

# GoogleTest's closing count, e.g. "[==========] 3 tests from 1 test suite ran. (52 ms total)";
# a Windows program ends its lines in CR LF.
ran=$(tr -d '\r' <"$log" | sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' | tail -n1)
if [[ -z $ran ]]; then
  echo "run-gtest.sh: the program did not say how many tests it ran" >&2
  exit 1
fi
if [[ $ran -eq 0 ]]; then
  echo "run-gtest.sh: no test ran: the filter selects no case of the program" >&2
  exit 1
fi
