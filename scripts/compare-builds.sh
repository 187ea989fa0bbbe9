#!/usr/bin/env bash
# Runs the host and the Windows build of one program that writes files into the folder it is
# given, and fails unless both write the same files byte for byte.
#   compare-builds.sh NATIVE_PROGRAM WINDOWS_PROGRAM.exe WORK_DIR [ARGUMENT...]
# Further arguments (absolute host paths work in both) are passed to both programs.
set -euo pipefail
if [[ $# -lt 3 ]]; then
  echo "usage: compare-builds.sh NATIVE_PROGRAM WINDOWS_PROGRAM.exe WORK_DIR [ARGUMENT...]" >&2
  exit 2
fi
native_program=$1
windows_program=$2
work=$3
shift 3
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [[ ! -x $native_program ]]; then
  echo "compare-builds: $native_program is missing; build the native preset first" >&2
  exit 1
fi

rm -rf "$work"
mkdir -p "$work/native" "$work/windows"
cd "$work"
# Both get a relative folder: under Wine the current folder is the same one, seen through Z:.
"$native_program" native "$@" || { echo "compare-builds: the native program failed ($?)" >&2; exit 1; }
"$scripts_dir/wine-run.sh" "$windows_program" windows "$@" ||
  { echo "compare-builds: the Windows program failed ($?)" >&2; exit 1; }

native_files=$(cd native && find . -type f | sed 's|^\./||' | sort)
windows_files=$(cd windows && find . -type f | sed 's|^\./||' | sort)
if [[ -z $native_files ]]; then
  echo "compare-builds: the native program wrote no file" >&2
  exit 1
fi

failures=0
while IFS= read -r file; do
  if [[ ! -f windows/$file ]]; then
    echo "missing from the Windows output: $file" >&2
    failures=$((failures + 1))
  elif ! cmp -s "native/$file" "windows/$file"; then
    echo "differs: $file ($(cmp "native/$file" "windows/$file" 2>&1 | head -n1))" >&2
    failures=$((failures + 1))
  fi
done <<<"$native_files"
while IFS= read -r file; do
  if [[ -n $file && ! -f native/$file ]]; then
    echo "only in the Windows output: $file" >&2
    failures=$((failures + 1))
  fi
done <<<"$windows_files"

count=$(wc -l <<<"$native_files")
if [[ $failures -gt 0 ]]; then
  echo "compare-builds: $failures of the files differ or are missing (kept in $work)" >&2
  exit 1
fi
echo "compare-builds: $count files are identical in both builds"
