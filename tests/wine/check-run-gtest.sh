#!/usr/bin/env bash
# Checks scripts/run-gtest.sh with stand-ins for a test program that print GoogleTest's closing
# count: a run of no case fails, a failing program keeps its exit code, and output passes through.
set -uo pipefail
run=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/run-gtest.sh

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the wrapper on a stand-in that prints $1 and exits with $2; sets $out and $status.
wrapped() {
  status=0
  out=$("$run" bash -c 'printf "%s" "$1"; exit "$2"' stand-in "$1" "$2" 2>&1) || status=$?
}

wrapped $'[==========] 2 tests from 1 test suite ran. (5 ms total)\r\n[  PASSED  ] 2 tests.\r\n' 0
[[ $status -eq 0 ]] || fail "two cases run: exit code $status"
[[ $out == *"[  PASSED  ] 2 tests."* ]] || fail "the output did not pass through: $out"

wrapped $'[==========] 0 tests from 0 test suites ran. (0 ms total)\r\n[  PASSED  ] 0 tests.\r\n' 0
[[ $status -ne 0 && $out == *"no test ran"* ]] || fail "no case run: exit code $status, $out"

wrapped $'[==========] 1 test from 1 test suite ran. (9 ms total)\r\n[  FAILED  ] 1 test\r\n' 3
[[ $status -eq 3 ]] || fail "a failing program: expected exit code 3, got $status"

wrapped 'crashed before the end' 0
[[ $status -ne 0 ]] || fail "a program that printed no count passed"

[[ $failures -eq 0 ]] && echo "check-run-gtest: all checks passed"
exit $((failures > 0))
