#!/usr/bin/env bash
# Whole-process comparison of the skin composer with ImageMagick's -scale on two JPEG photographs
# (1600 x 1200 and 1600 x 16000): paired runs in alternating order, median wall time and peak RSS.
#
# Usage: bench/compare-imagemagick.sh [--pairs N] [--composer PATH] [PICTURE...]
# Without pictures it makes the two photographs once, in build/native/bench-pictures/, with
# ImageMagick's plasma (random each time it is made) at quality 90. Each pair composes a
# 1024-pixel stretched skin with tess_compose and scales the picture to 1024 x 113 with
# /usr/bin/convert; the order inside a pair alternates. A benchmark, not a test: the figures
# depend on the machine and its load.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
pairs=11
composer="$root/build/native/tools/tess_compose"
pictures=()
while [[ $# -gt 0 ]]; do
    case "$1" in
    --pairs) pairs=$2; shift 2 ;;
    --composer) composer=$2; shift 2 ;;
    -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) pictures+=("$1"); shift ;;
    esac
done

convert=/usr/bin/convert  # Debian's ImageMagick 6, not any wrapper earlier on PATH
for tool in "$composer" "$convert" /usr/bin/time; do
    [[ -x "$tool" ]] || { echo "compare-imagemagick: $tool is missing" >&2; exit 1; }
done

if [[ ${#pictures[@]} -eq 0 ]]; then
    dir="$root/build/native/bench-pictures"
    mkdir -p "$dir"
    for size in 1600x1200 1600x16000; do
        picture="$dir/photo-$size.jpg"
        if [[ ! -s "$picture" ]]; then
            echo "making $picture" >&2
            "$convert" -size "$size" plasma:fractal -quality 90 "$picture.tmp.jpg"
            mv "$picture.tmp.jpg" "$picture"
        fi
        pictures+=("$picture")
    done
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command once; prints its wall time in milliseconds and its peak RSS in KiB.
measure() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>"$work/err" || {
        echo "compare-imagemagick: failed: $*" >&2
        cat "$work/err" >&2
        exit 1
    }
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $(tail -n 1 "$work/rss")"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-28s %10s %10s %10s %10s %8s %8s\n' picture "tess ms" "IM ms" "tess MiB" "IM MiB" "time" "memory"
for picture in "${pictures[@]}"; do
    : >"$work/tess"
    : >"$work/im"
    tess() { measure "$composer" --picture "$picture" --mode stretch --resolution 1024 --out "$work/tess.bmp" >>"$work/tess"; }
    im() { measure "$convert" "$picture" -scale '1024x113!' "BMP3:$work/im.bmp" >>"$work/im"; }
    tess >/dev/null  # warm the file cache and the programs' pages for both
    im >/dev/null
    : >"$work/tess"
    : >"$work/im"
    for ((i = 0; i < pairs; i++)); do
        if ((i % 2 == 0)); then tess; im; else im; tess; fi
    done
    tessMs=$(cut -d' ' -f1 "$work/tess" | median)
    imMs=$(cut -d' ' -f1 "$work/im" | median)
    tessKiB=$(cut -d' ' -f2 "$work/tess" | median)
    imKiB=$(cut -d' ' -f2 "$work/im" | median)
    awk -v p="$(basename "$picture")" -v tm="$tessMs" -v im="$imMs" -v tk="$tessKiB" -v ik="$imKiB" 'BEGIN {
        printf "%-28s %10.0f %10.0f %10.1f %10.1f %8.2f %8.2f\n", p, tm, im, tk / 1024, ik / 1024, tm / im, tk / ik
    }'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "(time and memory: tess_compose / ImageMagick, medians of $pairs paired runs; below 1 is ahead)"
