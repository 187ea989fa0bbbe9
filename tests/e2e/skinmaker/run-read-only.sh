#!/usr/bin/env bash
# Runs a Windows test program like wine-run.sh, with TESS_E2E_READ_ONLY_FOLDER naming a folder
# that holds a copy of the skin maker and that no program can write: a read-only bind mount in a
# mount namespace of the run's own, as Program Files is to a standard user. Wine runs every
# program with all rights, so only a file system that refuses writes shows what Windows refuses.
#
#   run-read-only.sh TESSARY.exe PROGRAM.exe [ARG...]
#
# Exits with 77 (a skip, which ctest counts) where no mount namespace can be made (not root).
set -euo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../scripts" && pwd)

[[ $# -ge 2 && -f $1 ]] || { echo "usage: run-read-only.sh TESSARY.exe PROGRAM.exe [ARG...]" >&2; exit 125; }
tessary=$1
shift

if ! unshare --mount --propagation private true 2>/dev/null; then
  echo "run-read-only.sh: skipped: no mount namespace can be made here (it needs root)"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tess-read-only-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/Tessary"
cp "$tessary" "$work/Tessary/Tessary.exe"
status=0
TESS_E2E_READ_ONLY_FOLDER="Z:$work/Tessary" unshare --mount --propagation private bash -c '
  folder=$1
  shift
  mount --bind "$folder" "$folder" && mount -o remount,bind,ro "$folder" || exit 1
  # A mount that still takes writes would make the test prove nothing.
  if touch "$folder/.writable" 2>/dev/null; then
    echo "run-read-only.sh: the read-only mount took a write" >&2
    exit 1
  fi
  exec "$@"' run-read-only "$work/Tessary" "$scripts_dir/wine-run.sh" "$@" || status=$?
exit "$status"
