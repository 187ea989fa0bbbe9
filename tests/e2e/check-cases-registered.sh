#!/usr/bin/env bash
# Fails naming every case of a GoogleTest program that none of the given filters selects, so that
# a case added or renamed without a test entry of its own cannot be left out silently.
#
#   check-cases-registered.sh PROGRAM.exe FILTER...
#
# A filter is GoogleTest's: patterns separated by ':' with '*' and '?', and after a '-' the
# patterns of cases it leaves out. The cases are listed by the program itself, under Wine.
set -uo pipefail
scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)

[[ $# -ge 2 ]] || { echo "usage: check-cases-registered.sh PROGRAM.exe FILTER..." >&2; exit 125; }
program=$1
shift
filters=("$@")

# Whether `name` matches one of the ':'-separated patterns in $2.
matches_any() {
  local name=$1 pattern
  local -a patterns
  IFS=: read -r -a patterns <<<"$2"
  for pattern in "${patterns[@]}"; do
    # shellcheck disable=SC2053 # the pattern is a glob on purpose
    [[ -n $pattern && $name == $pattern ]] && return 0
  done
  return 1
}

selected() {
  local name=$1 filter positive negative
  for filter in "${filters[@]}"; do
    positive=${filter%%-*}
    negative=
    [[ $filter == *-* ]] && negative=${filter#*-}
    [[ -z $positive ]] && positive='*'
    if matches_any "$name" "$positive" && ! matches_any "$name" "$negative"; then
      return 0
    fi
  done
  return 1
}

# The listing: "Suite." on a line of its own, then each case indented by two spaces, a
# parameterised one followed by "  # GetParam() = ...".
if ! listing=$("$scripts_dir/wine-run.sh" "$program" --gtest_list_tests | tr -d '\r'); then
  echo "check-cases-registered: $program could not list its cases" >&2
  exit 1
fi
suite= cases=0 left_out=0
while IFS= read -r line; do
  if [[ $line =~ ^([^[:space:]]+\.)$ ]]; then
    suite=${BASH_REMATCH[1]}
  elif [[ $line =~ ^\ \ ([^[:space:]]+) && -n $suite ]]; then
    cases=$((cases + 1))
    if ! selected "$suite${BASH_REMATCH[1]}"; then
      echo "check-cases-registered: no test entry runs $suite${BASH_REMATCH[1]}" >&2
      left_out=$((left_out + 1))
    fi
  fi
done <<<"$listing"
if [[ $cases -eq 0 ]]; then
  echo "check-cases-registered: $program listed no case" >&2
  exit 1
fi
echo "check-cases-registered: $((cases - left_out)) of $cases cases have a test entry"
[[ $left_out -eq 0 ]]
