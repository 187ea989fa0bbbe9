#!/usr/bin/env bash
# Checks that every program of the Windows build imports only DLLs that Windows itself ships:
# a MinGW runtime DLL (libstdc++, libgcc, winpthread) would be missing on a user's machine.
#   check-imports.sh BUILD_DIR
set -euo pipefail
build_dir=$1
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Wine's 32-bit system folder holds the DLLs a 32-bit program finds on Windows.
template=$("$repo/scripts/wine-prefix.sh" template)
system_dlls=$(ls "$template/drive_c/windows/syswow64" | tr '[:upper:]' '[:lower:]')

programs=0
failures=0
# Compiler checks under CMakeFiles and Wine prefixes that tests leave in the build are skipped.
while IFS= read -r -d '' program; do
  programs=$((programs + 1))
  imports=$(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
  # Every Windows program imports at least KERNEL32; none found means objdump failed.
  if [[ -z $imports ]]; then
    echo "FAIL: no imports read from ${program#"$build_dir"/}" >&2
    failures=$((failures + 1))
  fi
  for dll in $imports; do
    if ! grep -qxF "${dll,,}" <<<"$system_dlls"; then
      echo "FAIL: ${program#"$build_dir"/} needs $dll, which Windows does not ship" >&2
      failures=$((failures + 1))
    fi
  done
done < <(find "$build_dir" \( -name CMakeFiles -o -name drive_c \) -prune -o \
  -name '*.exe' -type f -print0)

if [[ $programs -eq 0 ]]; then
  echo "FAIL: no .exe found under $build_dir" >&2
  exit 1
fi
if [[ $failures -gt 0 ]]; then
  exit 1
fi
echo "check-imports: $programs programs import only Windows system DLLs"
