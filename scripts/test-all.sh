#!/usr/bin/env bash
# Checks that the includes run down the layers, installs what is missing, builds every preset and
# runs every test: host unit tests, the fuzz run, and the Windows tests under Wine on one shared
# virtual display; ends on "N passed, N failed" (", N skipped" when something skipped), counting
# the cases of each test program run under Wine.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
repo=$(pwd)
logs=$repo/build/test-logs
jobs=2

passed=0
failed=0
skipped=0
problems=()

# step NAME COMMAND...: runs a step that is not a ctest run; a failure counts as one failed.
step() {
  local name=$1 start=$SECONDS
  shift
  echo "test-all: --- $name ---"
  if "$@"; then
    echo "test-all: $name done in $((SECONDS - start)) s"
    return 0
  fi
  echo "test-all: $name FAILED after $((SECONDS - start)) s" >&2
  failed=$((failed + 1))
  problems+=("$name")
  return 1
}

# run_ctest NAME BUILD_DIR CTEST_ARG...: runs ctest on BUILD_DIR's tests and adds what they
# tested, each kind of run counted once. An entry that runs a GoogleTest program through
# run-gtest.sh counts its cases, which run-gtest.sh appends to the file TESS_GTEST_COUNTS names
# ("counts ok|failed P F S PROGRAM"); every other entry (a script check, or one case of the native
# build, whose cases are entries of their own) counts as one, from ctest's closing lines, e.g.
# "96% tests passed, 2 tests failed out of 50" and "  7 - name (Skipped)". An entry whose program
# passed but which failed afterwards (a comparison after the cases) counts as one failure more.
run_ctest() {
  local name=$1 dir=$2 start=$SECONDS status=0 log=$logs/ctest-$1.log counts=$logs/gtest-counts-$1.txt
  shift 2
  echo "test-all: --- ctest $name ---"
  : >"$counts"
  TESS_GTEST_COUNTS=$counts ctest --test-dir "$dir" "$@" --output-on-failure --parallel "$jobs" \
    --timeout 1200 --no-tests=error 2>&1 | tee "$log" || status=$?
  local summary total failures not_run
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [[ -z $summary ]]; then
    echo "test-all: ctest $name gave no result (exit code $status)" >&2
    failed=$((failed + 1))
    problems+=("ctest $name")
    return
  fi
  failures=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$summary")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  not_run=$(grep -cE '^[[:space:]]+[0-9]+ - .* \((Skipped|Disabled)\)$' "$log")
  local programs_ok programs_failed case_counts case_passed case_failed case_skipped
  programs_ok=$(grep -c '^counts ok ' "$counts")
  programs_failed=$(grep -c '^counts failed ' "$counts")
  case_counts=$(awk '$1 == "counts" { p += $3; f += $4; s += $5 } END { print p + 0, f + 0, s + 0 }' "$counts")
  read -r case_passed case_failed case_skipped <<<"$case_counts"
  local entries_passed=$((total - failures - not_run - programs_ok))
  local entries_failed=$((failures - programs_failed))
  ((entries_passed < 0)) && entries_passed=0
  ((entries_failed < 0)) && entries_failed=0
  local run_passed=$((entries_passed + case_passed)) run_failed=$((entries_failed + case_failed))
  local run_skipped=$((not_run + case_skipped))
  passed=$((passed + run_passed))
  failed=$((failed + run_failed))
  skipped=$((skipped + run_skipped))
  if [[ $status -ne 0 || $failures -gt 0 ]]; then
    problems+=("ctest $name")
  fi
  # Why each case skipped: run-gtest.sh noted it; a native case's own output is in ctest's log.
  local reasons
  if grep -q '^counts ' "$counts"; then
    reasons=$(sed -nE 's/^skip //p' "$counts")
  else
    reasons=$(./scripts/gtest-skips.sh <"$dir/Testing/Temporary/LastTest.log" 2>/dev/null | sort -u)
  fi
  [[ -z $reasons ]] || sed 's/^/test-all: skipped /' <<<"$reasons" | tee -a "$log"
  echo "test-all: ctest $name: $run_passed passed, $run_failed failed, $run_skipped skipped" \
    "($((total - programs_ok - programs_failed)) entries counted as one each, the cases of" \
    "$((programs_ok + programs_failed)) test programs) in $((SECONDS - start)) s" | tee -a "$log"
}

# What can be read off the i686 programs without running them: their import tables.
i686_import_tables() {
  ./tests/wine/check-imports.sh build/windows &&
    ./tests/wine/check-imports.sh --known-only build/windows/installer/orvinst.exe \
      build/windows/uninstaller/remover.exe
}

mkdir -p "$logs"
all_start=$SECONDS

# The layers' includes run one way; read off the sources, before anything is built.
step "include check" ./scripts/check-includes.sh

if step "setup-deps" ./scripts/setup-deps.sh; then
  native_built=0
  windows_built=0
  fuzz_built=0
  step "build native" ./scripts/build-all.sh native && native_built=1
  step "build windows" ./scripts/build-all.sh windows && windows_built=1
  # The Windows tests run the i686 build, the product, under Wine. Only a kernel that refuses
  # 32-bit programs ("Exec format error") sends them to the x86-64 build of the same sources, and
  # the i686 programs are then checked as files; a 32-bit loader that fails otherwise fails the
  # run. Where the i686 programs run, the x86-64 build is built too (and its import tables
  # read), so that the other path keeps building.
  windows_tests=windows
  path_status=0
  path_reason=$(source scripts/wine-env.sh && tess_can_run_32bit; status=$?
    echo "$tess_32bit_reason"; exit "$status") || path_status=$?
  case $path_status in
    0)
      echo "test-all: Windows tests run the i686 programs (the product): $path_reason"
      step "build windows64" ./scripts/build-all.sh windows64 &&
        step "x86-64 import tables" ./tests/wine/check-imports.sh build/windows64
      ;;
    1)
      echo "test-all: Windows tests run the x86-64 build: $path_reason"
      windows_tests=windows64
      windows_built=0
      step "build windows64" ./scripts/build-all.sh windows64 && windows_built=1
      [[ -f build/windows/installer/orvinst.exe ]] && step "i686 import tables" i686_import_tables
      ;;
    *)
      echo "test-all: Windows tests cannot run: $path_reason" >&2
      failed=$((failed + 1))
      problems+=("32-bit programs")
      windows_built=0
      ;;
  esac
  if [[ -f tests/fuzz/CMakeLists.txt ]]; then
    step "build fuzz" ./scripts/build-all.sh fuzz && fuzz_built=1
  else
    echo "test-all: no fuzz step: tests/fuzz/CMakeLists.txt does not exist yet"
  fi

  # One X server for all Windows tests; wine-run.sh uses it through DISPLAY.
  if xvfb_settings=$(./scripts/xvfb.sh start); then
    eval "$xvfb_settings"
    trap './scripts/xvfb.sh stop "$XVFB_PID"' EXIT
    echo "test-all: virtual display $DISPLAY"
  else
    failed=$((failed + 1))
    problems+=("Xvfb")
  fi

  [[ $native_built -eq 1 ]] && run_ctest native build/native
  [[ $fuzz_built -eq 1 ]] && run_ctest fuzz build/fuzz
  if [[ $windows_built -eq 1 ]]; then
    step "wine template prefix" ./scripts/wine-prefix.sh template &&
      run_ctest "$windows_tests" "build/$windows_tests"
  fi
fi

echo
echo "test-all: finished in $((SECONDS - all_start)) s"
if [[ ${#problems[@]} -gt 0 ]]; then
  echo "test-all: failed steps: ${problems[*]}"
fi
if [[ $skipped -gt 0 ]]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
[[ $failed -eq 0 && ${#problems[@]} -eq 0 ]]
