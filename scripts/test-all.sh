#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: host unit tests, the fuzz
# run, and the Windows tests under Wine on one shared virtual display; ends on "N passed, N failed".
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

# run_ctest NAME CTEST_ARG...: runs ctest and adds its counts from the closing lines, e.g.
# "96% tests passed, 2 tests failed out of 50" and "  7 - name (Skipped)".
run_ctest() {
  local name=$1 start=$SECONDS status=0 log=$logs/ctest-$1.log
  shift
  echo "test-all: --- ctest $name ---"
  ctest "$@" --output-on-failure --parallel "$jobs" --timeout 1200 --no-tests=error 2>&1 |
    tee "$log" || status=$?
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
  passed=$((passed + total - failures - not_run))
  failed=$((failed + failures))
  skipped=$((skipped + not_run))
  if [[ $status -ne 0 || $failures -gt 0 ]]; then
    problems+=("ctest $name")
  fi
  echo "test-all: ctest $name: $((total - failures - not_run)) passed, $failures failed," \
    "$not_run skipped in $((SECONDS - start)) s"
}

# What can be read off the i686 programs without running them: their import tables.
i686_import_tables() {
  ./tests/wine/check-imports.sh build/windows &&
    ./tests/wine/check-imports.sh --known-only build/windows/installer/orvinst.exe \
      build/windows/uninstaller/remover.exe
}

mkdir -p "$logs"
all_start=$SECONDS

if step "setup-deps" ./scripts/setup-deps.sh; then
  native_built=0
  windows_built=0
  fuzz_built=0
  step "build native" ./scripts/build-all.sh native && native_built=1
  step "build windows" ./scripts/build-all.sh windows && windows_built=1
  # The Windows tests run the i686 build, the product, under Wine. A kernel without IA-32
  # emulation runs no 32-bit program, Wine's loader included: there they run the x86-64 build of
  # the same sources, and the i686 build is still built and its programs checked as files.
  windows_tests=windows
  if ! (source scripts/wine-env.sh && tess_can_run_32bit); then
    echo "test-all: this machine cannot run 32-bit programs: the Windows tests run on the x86-64 build"
    windows_tests=windows64
    windows_built=0
    step "build windows64" ./scripts/build-all.sh windows64 && windows_built=1
    [[ -f build/windows/installer/orvinst.exe ]] && step "i686 import tables" i686_import_tables
  fi
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

  [[ $native_built -eq 1 ]] && run_ctest native --preset native
  [[ $fuzz_built -eq 1 ]] && run_ctest fuzz --test-dir build/fuzz
  if [[ $windows_built -eq 1 ]]; then
    step "wine template prefix" ./scripts/wine-prefix.sh template &&
      run_ctest "$windows_tests" --preset "$windows_tests"
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
