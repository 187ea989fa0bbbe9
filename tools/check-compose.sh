#!/usr/bin/env bash
# Runs the command-line composer on the test pictures and checks what it writes with
# ImageMagick: the sizes of each mode and resolution, repeatable bytes, the background colour,
# the width limit, and the exit codes of the failures.
#
#   check-compose.sh TESS_COMPOSE PICTURES_FOLDER WORK_FOLDER
set -uo pipefail
compose=$1
pictures=$2
work=$3
rm -rf "$work"
mkdir -p "$work"

identify=/usr/bin/identify
convert=/usr/bin/convert
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_size FILE WIDTHxHEIGHT
expect_size() {
  local got
  got=$("$identify" -format '%wx%h' "$1" 2>/dev/null) || got="(unreadable)"
  [[ $got == "$2" ]] || fail "$1 is $got, expected $2"
}
# run EXPECTED_STATUS ARG...: runs the composer and checks its exit status.
run() {
  local expected=$1 status=0
  shift
  "$compose" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
  if [[ $status -ne $expected ]]; then
    fail "exit $status, expected $expected: tess_compose $* ($(cat "$work/stderr"))"
    return 1
  fi
}

jpeg=$pictures/jpeg-progressive.jpg
gif=$pictures/gif-transparent.gif
bmp=$pictures/bmp-8bit.bmp

# Sizes: Tile and Single are 2000 twips high, Stretch 1700; the width is the resolution's.
run 0 --picture "$jpeg" --out "$work/tile.bmp" && expect_size "$work/tile.bmp" 800x133
run 0 --picture "$gif" --mode single --out "$work/single.bmp" && expect_size "$work/single.bmp" 800x133
run 0 --picture "$bmp" --mode stretch --resolution 1024 --out "$work/stretch.bmp" &&
  expect_size "$work/stretch.bmp" 1024x113
run 0 --picture "$jpeg" --resolution 640 --out "$work/tile640.bmp" && expect_size "$work/tile640.bmp" 640x133
run 0 --picture "$jpeg" --resolution=720 --mode=tile --out="$work/tile720.bmp" &&
  expect_size "$work/tile720.bmp" 720x133
# At 120 DPI (12 twips a pixel) the skin has as many pixels across and 2000 / 12 rows.
run 0 --picture "$jpeg" --twips-per-pixel 12 --out "$work/tile-12.bmp" && expect_size "$work/tile-12.bmp" 800x167
run 0 --picture "$gif" --mode single --preview "$work/preview.bmp" && expect_size "$work/preview.bmp" 598x67

# The same layout twice gives the same bytes; Stretch ignores size and offsets.
for mode in tile single stretch; do
  args=(--picture "$gif" --mode "$mode" --width 37 --height 180 --horizontal -41 --vertical 63
    --background 102030)
  run 0 "${args[@]}" --out "$work/a-$mode.bmp" --preview "$work/a-$mode-preview.bmp"
  run 0 "${args[@]}" --out "$work/b-$mode.bmp" --preview "$work/b-$mode-preview.bmp"
  cmp -s "$work/a-$mode.bmp" "$work/b-$mode.bmp" || fail "two $mode runs wrote different skins"
  cmp -s "$work/a-$mode-preview.bmp" "$work/b-$mode-preview.bmp" || fail "two $mode runs wrote different previews"
done
run 0 --picture "$gif" --mode stretch --out "$work/stretch-plain.bmp"
run 0 --picture "$gif" --mode stretch --width 250 --vertical -80 --out "$work/stretch-moved.bmp"
cmp -s "$work/stretch-plain.bmp" "$work/stretch-moved.bmp" || fail "Stretch depends on size or offsets"
# ...while Tile does not.
run 0 --picture "$gif" --out "$work/tile-plain.bmp"
run 0 --picture "$gif" --horizontal 30 --out "$work/tile-moved.bmp"
cmp -s "$work/tile-plain.bmp" "$work/tile-moved.bmp" && fail "Tile ignored its horizontal offset"

# The background shows around a single copy, in the skin and in the preview.
pixel() { "$convert" "$1" -format "%[pixel:p{$2}]" info: 2>/dev/null; }
run 0 --picture "$bmp" --mode single --background 123456 --out "$work/bg.bmp" --preview "$work/bg-preview.bmp"
for file in bg.bmp bg-preview.bmp; do
  got=$(pixel "$work/$file" 0,0)
  [[ $got == "srgb(18,52,86)" ]] || fail "$file corner is $got, expected srgb(18,52,86)"
done
run 0 --picture "$bmp" --mode single --out "$work/white.bmp"
got=$(pixel "$work/white.bmp" 0,0)
[[ $got == "srgb(255,255,255)" ]] || fail "the default background is $got, expected white"

# Pictures up to 24000 twips wide are taken; wider ones are refused as the skin maker does.
"$convert" -size 1600x3 xc:red "BMP3:$work/1600.bmp" && "$convert" -size 1601x3 xc:red "BMP3:$work/1601.bmp"
run 0 --picture "$work/1600.bmp" --out "$work/1600-skin.bmp"
if run 1 --picture "$work/1601.bmp" --out "$work/1601-skin.bmp"; then
  grep -q "too large" "$work/stderr" || fail "no message for a too wide picture"
  [[ -e $work/1601-skin.bmp ]] && fail "a skin was written for a too wide picture"
fi
run 0 --picture "$work/1601.bmp" --twips-per-pixel 14 --out "$work/1601-14.bmp"

# Failures: unreadable input, unwritable output, wrong arguments.
run 1 --picture "$work/missing.gif" --out "$work/x.bmp"
run 1 --picture "$pictures/../broken/corrupt-bmp-rle8-cut.bmp" --out "$work/x.bmp"
run 1 --picture "$gif" --out "$work/no-such-folder/x.bmp"
[[ -e $work/x.bmp ]] && fail "a failed run left a skin behind"
run 2 --out "$work/x.bmp"
run 2 --picture "$gif"
run 2 --picture "$gif" --out "$work/x.bmp" --width 401
run 2 --picture "$gif" --out "$work/x.bmp" --resolution 900
run 2 --picture "$gif" --out "$work/x.bmp" --frobnicate 1
run 0 --help && grep -q -- "--picture" "$work/stdout" || fail "--help shows no usage"

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all composer checks passed"
