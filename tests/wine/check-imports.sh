#!/usr/bin/env bash
# Checks the import tables of the Windows build's programs (read with objdump).
#   check-imports.sh BUILD_DIR
#     Every program imports only DLLs that Windows itself ships: a MinGW runtime DLL
#     (libstdc++, libgcc, winpthread) would be missing on a user's machine. Every 32-bit
#     program is also marked large-address-aware, so that 64-bit Windows gives it 4 GB.
#   check-imports.sh --known-only PROGRAM...
#     Each program imports only the system's known libraries (the KnownDLLs list), which Windows
#     takes from the system folder alone. Any other name is looked for beside the program first,
#     before its first line runs: a program that runs elevated from a folder others can write
#     (a downloads folder, the temporary folder) loads what it needs besides at run time.
set -euo pipefail

# The DLL names of a program's import table, one a line; none when objdump cannot read it. The
# host's objdump reads both the i686 and the x86-64 build.
imports_of() {
  objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# The DLLs Windows ships for a program's architecture, lower case, one a line: those Wine
# provides as its own builtin libraries for it.
system_dlls_for() {
  local folder
  case $(objdump -f "$1" | sed -n 's/.*file format //p') in
    pei-i386) folder=/usr/lib/i386-linux-gnu/wine/i386-windows ;;
    pei-x86-64) folder=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows ;;
    *) return 0 ;;
  esac
  ls "$folder" | tr '[:upper:]' '[:lower:]'
}

if [[ ${1:-} == --known-only ]]; then
  shift
  [[ $# -gt 0 ]] || { echo "usage: check-imports.sh --known-only PROGRAM..." >&2; exit 2; }
  known=$(printf '%s.dll\n' advapi32 comdlg32 gdi32 imm32 kernel32 msvcrt ntdll ole32 oleaut32 \
    rpcrt4 setupapi shell32 shlwapi user32 ws2_32)
  failures=0
  for program in "$@"; do
    imports=$(imports_of "$program")
    if [[ -z $imports ]]; then
      echo "FAIL: no imports read from $program" >&2
      failures=$((failures + 1))
    fi
    for dll in $imports; do
      if ! grep -qxF "${dll,,}" <<<"$known"; then
        echo "FAIL: ${program##*/} imports $dll, which Windows may take from beside the program" >&2
        failures=$((failures + 1))
      fi
    done
    echo "check-imports: ${program##*/} imports" $imports
  done
  [[ $failures -eq 0 ]] || exit 1
  echo "check-imports: $# programs import only known libraries"
  exit 0
fi

build_dir=$1

programs=0
i686_programs=0
failures=0
# Compiler checks under CMakeFiles and Wine prefixes that tests leave in the build are skipped.
while IFS= read -r -d '' program; do
  programs=$((programs + 1))
  imports=$(imports_of "$program")
  system_dlls=$(system_dlls_for "$program")
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
  if [[ $(objdump -f "$program" | sed -n 's/.*file format //p') == pei-i386 ]]; then
    i686_programs=$((i686_programs + 1))
    if ! grep -q '^[[:space:]]*large address aware$' <<<"$(objdump -p "$program")"; then
      echo "FAIL: ${program#"$build_dir"/} is not marked large-address-aware" >&2
      failures=$((failures + 1))
    fi
  fi
done < <(find "$build_dir" \( -name CMakeFiles -o -name drive_c \) -prune -o \
  -name '*.exe' -type f -print0)

if [[ $programs -eq 0 ]]; then
  echo "FAIL: no .exe found under $build_dir" >&2
  exit 1
fi
if [[ $failures -gt 0 ]]; then
  exit 1
fi
echo "check-imports: $programs programs import only Windows system DLLs;" \
  "$i686_programs 32-bit ones are large-address-aware"
