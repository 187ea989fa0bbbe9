#!/usr/bin/env bash
# Checks scripts/run-gtest.sh with stand-ins for a test program that print GoogleTest's closing
# counts: a run of no case or of skipped cases only fails, a failing program keeps its exit code,
# output passes through, and the counts and skip reasons reach the count file.
set -uo pipefail
run=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/run-gtest.sh

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

counts_file=$(mktemp)
trap 'rm -f "$counts_file"' EXIT

# Runs the wrapper on a stand-in that prints $1 and exits with $2; sets $out, $status and $counts
# (what the run appended to the count file).
wrapped() {
  status=0
  : >"$counts_file"
  out=$(TESS_GTEST_COUNTS=$counts_file "$run" bash -c 'printf "%s" "$1"; exit "$2"' stand-in "$1" "$2" 2>&1) ||
    status=$?
  counts=$(<"$counts_file")
}

wrapped $'[==========] 2 tests from 1 test suite ran. (5 ms total)\r\n[  PASSED  ] 2 tests.\r\n' 0
[[ $status -eq 0 ]] || fail "two cases run: exit code $status"
[[ $out == *"[  PASSED  ] 2 tests."* ]] || fail "the output did not pass through: $out"
[[ $counts == "counts ok 2 0 0 bash" ]] || fail "two cases run: counted $counts"

skip=$'[ RUN      ] A.Skips\r\n/src/a.cpp:9: Skipped\r\nno folder links here\r\n\r\n[  SKIPPED ] A.Skips (0 ms)\r\n'
wrapped "$skip"$'[ RUN      ] A.Runs\r\n[       OK ] A.Runs (1 ms)\r\n[==========] 2 tests from 1 test suite ran. (5 ms total)\r\n[  PASSED  ] 1 test.\r\n[  SKIPPED ] 1 test, listed below:\r\n[  SKIPPED ] A.Skips\r\n' 0
[[ $status -eq 0 ]] || fail "one case run, one skipped: exit code $status"
[[ $counts == $'counts ok 1 0 1 bash\nskip bash A.Skips: no folder links here' ]] ||
  fail "one case run, one skipped: counted $counts"
[[ $out == *"run-gtest: skipped A.Skips: no folder links here"* ]] || fail "the skip's reason was not shown: $out"

wrapped "$skip"$'[==========] 1 test from 1 test suite ran. (5 ms total)\r\n[  PASSED  ] 0 tests.\r\n[  SKIPPED ] 1 test, listed below:\r\n[  SKIPPED ] A.Skips\r\n' 0
[[ $status -ne 0 && $out == *"every case skipped"* ]] || fail "only a skipped case: exit code $status, $out"
[[ $counts == "counts failed 0 1 1 bash"* ]] || fail "only a skipped case: counted $counts"

wrapped $'[==========] 0 tests from 0 test suites ran. (0 ms total)\r\n[  PASSED  ] 0 tests.\r\n' 0
[[ $status -ne 0 && $out == *"no test ran"* ]] || fail "no case run: exit code $status, $out"

wrapped $'[==========] 1 test from 1 test suite ran. (9 ms total)\r\n[  FAILED  ] 1 test\r\n' 3
[[ $status -eq 3 ]] || fail "a failing program: expected exit code 3, got $status"

wrapped $'[==========] 3 tests from 1 test suite ran. (9 ms total)\r\n[  PASSED  ] 1 test.\r\n[  FAILED  ] 2 tests, listed below:\r\n' 1
[[ $counts == "counts failed 1 2 0 bash" ]] || fail "two failed cases: counted $counts"

wrapped 'crashed before the end' 0
[[ $status -ne 0 ]] || fail "a program that printed no count passed"
[[ $counts == "counts failed 0 1 0 bash" ]] || fail "a program that printed no count: counted $counts"

[[ $failures -eq 0 ]] && echo "check-run-gtest: all checks passed"
exit $((failures > 0))
