#!/usr/bin/env bash
# Runs one Windows program under Wine, quietly and headless, and exits with the program's code;
# CMake names it as the emulator of the Windows build, so ctest runs the test programs with it.
#
#   wine-run.sh PROGRAM.exe [ARG...]
#
# Prefix: by default every run gets a fresh copy of the template prefix and deletes it
# afterwards, so no run sees what another wrote to the registry or to C:. Measured on a
# 2-core machine with a small console program: about 2.5 s per run this way (copying the
# ~1.3 GB template 1.3 s, the program 0.3 s, stopping Wine 0.8 s, deleting 0.1-0.4 s), against
# about 1.2 s in a prefix that exists already. A build has one or a few unit-test programs, so
# the copies cost seconds in all: unit tests get fresh copies too, and no run shares a prefix.
#
# TESS_WINEPREFIX=DIR  run in DIR instead (made from the template if it is no prefix yet) and
#                      keep it, e.g. for an end-to-end test that installs, runs and removes;
#                      after the program exits, the run waits until every process it started
#                      has ended (at most TESS_WINE_SETTLE seconds, default 60), then kills
#                      the rest. wine-prefix.sh new/reset/remove manage such prefixes.
# TESS_WINE_TIMEOUT=S  kill the program after S seconds (default 600, 0 for never); the run
#                      then exits with 124.
# TESS_WINEDEBUG=...   Wine debug channels (default: none).
# Display: $DISPLAY if it answers; otherwise this run starts an Xvfb of its own (xvfb.sh).
# Output: stdout and stderr pass through unchanged, so a Windows program's text lines end in
# CR LF.
set -euo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$scripts_dir/wine-env.sh"

die() {
  echo "wine-run.sh: $*" >&2
  exit 125
}

[[ $# -ge 1 ]] || die "usage: wine-run.sh PROGRAM.exe [ARG...]"
program=$1
shift
[[ -f $program ]] || die "no such program: $program"

if ! "$scripts_dir/xvfb.sh" check; then
  [[ -z ${TESS_WINE_OWN_XVFB:-} ]] || die "the X display started for this run does not answer"
  export TESS_WINE_OWN_XVFB=1
  exec "$scripts_dir/xvfb.sh" run "$scripts_dir/wine-run.sh" "$program" "$@"
fi

timeout_seconds=${TESS_WINE_TIMEOUT:-600}
runs_dir=$TESS_WINE_ROOT/runs

# Run prefixes are named after the run's pid: one whose run was killed before it could clean
# up (SIGKILL from a test driver) is deleted by the next run.
remove_orphaned_runs() {
  local dir pid
  for dir in "$runs_dir"/run-*; do
    [[ -d $dir ]] || continue
    pid=${dir##*/run-}
    pid=${pid%%-*}
    if [[ $pid =~ ^[0-9]+$ ]] && ! kill -0 "$pid" 2>/dev/null; then
      "$scripts_dir/wine-prefix.sh" remove "$dir" || true
    fi
  done
}

"$scripts_dir/wine-prefix.sh" template >/dev/null
if [[ -n ${TESS_WINEPREFIX:-} ]]; then
  owns_prefix=0
  settle_seconds=${TESS_WINE_SETTLE:-60}
  tess_is_prefix "$TESS_WINEPREFIX" || "$scripts_dir/wine-prefix.sh" new "$TESS_WINEPREFIX"
  prefix=$(cd "$TESS_WINEPREFIX" && pwd)
else
  owns_prefix=1
  # Nobody can look into a run's own prefix afterwards, so what is left running is killed.
  settle_seconds=0
  mkdir -p "$runs_dir"
  remove_orphaned_runs
  prefix=$(mktemp -d "$runs_dir/run-$$-XXXXXX")
fi

finish() {
  tess_stop_prefix "$prefix" "$settle_seconds"
  if [[ $owns_prefix -eq 1 ]]; then
    rm -rf "$prefix"
  fi
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ $owns_prefix -eq 1 ]]; then
  "$scripts_dir/wine-prefix.sh" new "$prefix"
fi

limit=()
if [[ $timeout_seconds -ne 0 ]]; then
  limit=(timeout --verbose --kill-after=10 "$timeout_seconds")
fi
# Started in the background and waited for, so that a TERM reaches the trap at once and not
# only after the program ends; stdin is passed on explicitly, as & would replace it.
WINEPREFIX=$prefix "${limit[@]}" "$tess_wine" "$program" "$@" <&0 &
status=0
wait "$!" || status=$?
# A program stopped for its time limit leaves nothing worth waiting for.
if [[ $status -eq 124 && $timeout_seconds -ne 0 ]]; then
  settle_seconds=0
fi
exit "$status"
