#!/usr/bin/env bash
# Fails on an include that runs upward through the layers, read from the `#include "..."` lines of
# every source: programs -> ui -> platform -> core, and tools -> platform -> core.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# allowed FROM TO: whether a source of the layer FROM may include the file TO (a path from the
# source root). A program includes its own folder and none of the other two; tests and benchmarks
# include what they test, but the shared test code never a unit test and a benchmark no test.
# Only the tests and the headless binding itself include the headless binding, which no program
# links.
allowed() {
  local from=$1 to=$2 top=${2%%/*}
  if [[ $to == ui/headless/* && $from != tests* && $from != ui/headless ]]; then
    return 1
  fi
  case $from in
    core) [[ $top == core ]] ;;
    platform) [[ $top == platform || $top == core ]] ;;
    ui | ui/headless) [[ $top == ui || $top == platform || $top == core ]] ;;
    skinmaker | installer | uninstaller)
      [[ $top == "$from" || $top == ui || $top == platform || $top == core ]] ;;
    tools) [[ $top == tools || $top == platform || $top == core ]] ;;
    tests/support) [[ $to != tests/unit/* ]] ;;
    bench) [[ $top != tests ]] ;;
    tests) true ;;
    *) return 1 ;;
  esac
}

# The layer a source belongs to: its top folder, but for the two places inside one with rules of
# their own.
layer_of() {
  case $1 in
    tests/support/*) echo tests/support ;;
    ui/headless/*) echo ui/headless ;;
    *) echo "${1%%/*}" ;;
  esac
}

upward=0
checked=0
while IFS= read -r source; do
  from=$(layer_of "$source")
  folder=$(dirname "$source")
  while IFS=: read -r line included; do
    # A name is found beside the including file first, then from the source root; one found in
    # neither is a system or third-party header, outside every layer.
    if [[ -f $folder/$included ]]; then
      to=$(realpath -m --relative-to=. "$folder/$included")
    elif [[ -f $included ]]; then
      to=$included
    else
      continue
    fi
    checked=$((checked + 1))
    if ! allowed "$from" "$to"; then
      echo "check-includes: $source:$line includes $to, above or beside the layer $from" >&2
      upward=$((upward + 1))
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/; T; =; p' "$source" |
    paste -d: - -)
done < <(find core platform ui skinmaker installer uninstaller tools tests bench -type f \
  \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.rc' \) | sort)

if ((upward > 0)); then
  echo "check-includes: $upward of $checked includes run upward" >&2
  exit 1
fi
echo "check-includes: $checked includes, none upward"
