#!/usr/bin/env bash
# Runs the composer on the large test pictures (tests/data/make-large-pictures.sh): a picture too
# wide is refused from its header, with the skin maker's message and no skin, and the widest and
# tallest picture taken is composed. Run on the host build and on the 32-bit build under Wine.
#
#   check-compose-large.sh LARGE_PICTURES_FOLDER WORK_FOLDER COMPOSER [ARG...]
#     COMPOSER [ARG...] starts the composer, e.g. wine-run.sh tess_compose.exe.
set -uo pipefail
pictures=$1
work=$2
shift 2
composer=("$@")
rm -rf "$work"
mkdir -p "$work"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# compose EXPECTED_STATUS NAME: composes the skin of the picture NAME into WORK/NAME.bmp.
compose() {
  local expected=$1 name=$2 status=0
  "${composer[@]}" --picture "$pictures/$name" --out "$work/$name.bmp" \
    >"$work/$name.stdout" 2>"$work/$name.stderr" || status=$?
  if [[ $status -ne $expected ]]; then
    fail "exit $status, expected $expected, for $name: $(cat "$work/$name.stderr")"
    return 1
  fi
}

for name in huge-rle8-8192x8192.bmp photo-8000x6000.jpg; do
  if compose 1 "$name"; then
    grep -q "Picture is too large to load" "$work/$name.stderr" ||
      fail "$name: not refused as too large: $(cat "$work/$name.stderr")"
    [[ -e $work/$name.bmp ]] && fail "a skin was written for $name"
  fi
done

if compose 0 tall-1600x16384.jpg; then
  got=$(/usr/bin/identify -format '%wx%h' "$work/tall-1600x16384.jpg.bmp" 2>/dev/null) || got="(unreadable)"
  [[ $got == 800x133 ]] || fail "the skin of tall-1600x16384.jpg is $got, expected 800x133"
fi

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "the composer refuses the too wide pictures and composes the tallest"
