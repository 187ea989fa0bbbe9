#!/usr/bin/env bash
# Checks scripts/wine-run.sh with the probe program: arguments, output streams and exit codes,
# fresh and kept prefixes, host paths, time limits, and that no Wine process outlives a run.
#   check-wine-run.sh PROBE.exe WORK_DIR
set -euo pipefail
probe=$1
work=$2
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
run=$repo/scripts/wine-run.sh
source "$repo/scripts/wine-env.sh"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the probe through wine-run.sh; sets $out, $status and $seconds, stderr goes to a file.
# The probe writes its streams in text mode, so Windows line ends are dropped here.
probe_run() {
  local start=$SECONDS
  status=0
  out=$("$run" "$probe" "$@" 2>"$work/stderr") || status=$?
  out=${out//$'\r'/}
  sed -i 's/\r$//' "$work/stderr"
  seconds=$((SECONDS - start))
}

rm -rf "$work"
mkdir -p "$work"
kept_prefix=$work/prefix
trap '"$repo/scripts/wine-prefix.sh" remove "$kept_prefix"' EXIT

# Arguments arrive one by one, spaces, quotes and empty ones included; both streams pass.
probe_run echo 37 "two words" "" 'say "hi"' 'back\slash'
[[ $status -eq 37 ]] || fail "exit code: expected 37, got $status"
expected=$'[two words]\n[]\n[say "hi"]\n[back\\slash]'
[[ $out == "$expected" ]] || fail "arguments came out as: $out"
grep -qx 'probe: 4 arguments' "$work/stderr" || fail "stderr did not pass: $(cat "$work/stderr")"

# Without TESS_WINEPREFIX every run starts from a fresh copy of the template.
probe_run write 'C:\marker.txt' first
[[ $status -eq 0 ]] || fail "writing C:\\marker.txt failed ($status)"
probe_run read 'C:\marker.txt'
[[ $status -eq 3 ]] || fail "a fresh prefix saw the previous run's file ($status)"

# With TESS_WINEPREFIX the prefix is made once and kept between runs.
export TESS_WINEPREFIX=$kept_prefix
probe_run write 'C:\marker.txt' kept
probe_run read 'C:\marker.txt' kept
[[ $status -eq 0 ]] || fail "the kept prefix lost C:\\marker.txt ($status)"

# Host files are reachable both as Z: paths and as Unix paths from a current folder on Z:.
probe_run read "Z:$repo/tests/wine/run_probe.cpp"
[[ $status -eq 0 ]] || fail "cannot read a host file through Z: ($status)"
probe_run read "$repo/tests/wine/run_probe.cpp"
[[ $status -eq 0 ]] || fail "cannot read a host file by its Unix path ($status)"

# A child that ends on its own is waited for before the run returns.
probe_run spawn 3
[[ $status -eq 0 && $seconds -ge 3 ]] ||
  fail "run returned after $seconds s with $status, before its 3 s child ended"

# A child that outlives the settle time is killed, and nothing of the prefix keeps running.
TESS_WINE_SETTLE=2 probe_run spawn 120
[[ $status -eq 0 && $seconds -lt 60 ]] ||
  fail "run with a lingering child: $status after $seconds s"
[[ -z $(tess_prefix_pids "$kept_prefix") ]] || fail "Wine processes outlived the run"

# A program past its time limit is stopped with exit code 124.
TESS_WINE_TIMEOUT=2 probe_run sleep 120
[[ $status -eq 124 && $seconds -lt 60 ]] || fail "time limit: $status after $seconds s"
[[ -z $(tess_prefix_pids "$kept_prefix") ]] || fail "Wine processes outlived a timed-out run"

if [[ $failures -gt 0 ]]; then
  echo "check-wine-run: $failures checks failed" >&2
  exit 1
fi
echo "check-wine-run: all checks passed"
