#!/usr/bin/env bash
# focusrank --scale on a 24 MP camera-like JPEG (generated: soft shapes and
# grain, 4:2:0, quality 90; or the JPEG given), one image, one job, against
# djpeg -scale decoding it alone to /dev/null (target: within 1.1x of its
# time), and the speed-up over focusrank at full size. Both programs' time
# on a 64x64 JPEG is their start-up (with time(1)'s): it is also taken off
# both sides, for the cost of each further image of a folder. Medians of
# runs that alternate, so that a load coming and going weighs on all alike.
# Ranking quality at reduced scale is in scripts/bench_map.sh.
# Usage: scripts/bench_scale.sh [BUILD_DIR] [JPEG]     (default: build-bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
runs=31

"$root/scripts/install_deps.sh" bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_engine focusrank >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
jpeg=${2:-$tmp/photo-6000x4000.jpg}
[ -n "${2:-}" ] || "$build/bench/bench_engine" --make-jpeg 6000 4000 "$jpeg"
"$build/bench/bench_engine" --make-jpeg 64 64 "$tmp/start.jpg"
rank=$build/bin/focusrank
source "$root/scripts/bench_rows.sh"

for i in $(seq "$runs"); do
  for n in start 1 2 4 8; do
    if [ "$n" = start ]; then image=$tmp/start.jpg n=1; else image=$jpeg; fi
    key=$n-$(basename "$image")
    measure "$tmp/rank-$key" "$rank" -q -j1 --scale "1/$n" "$image"
    measure "$tmp/djpeg-$key" djpeg -scale "1/$n" -outfile /dev/null "$image"
  done
done
ms() { median 1 "$tmp/$1-$2"; }
jpeg_key=$(basename "$jpeg")

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "== $(basename "$jpeg"): median wall ms of $runs runs; start-up (64x64 JPEG): focusrank" \
  "$(ms rank 1-start.jpg), djpeg $(ms djpeg 1-start.jpg)"
printf "%-6s %10s %8s %7s   %10s %8s %7s   %17s %8s\n" "scale" "focusrank" "djpeg" "x" \
  "- start-up" "- start" "x" "speed-up, - start" "peak MB"
for n in 1 2 4 8; do
  r=$(ms rank "$n-$jpeg_key") d=$(ms djpeg "$n-$jpeg_key")
  r0=$(ms rank 1-start.jpg) d0=$(ms djpeg 1-start.jpg) full=$(ms rank "1-$jpeg_key")
  mb=$(median 3 "$tmp/rank-$n-$jpeg_key" | awk '{ printf "%.1f", $1 / 1024 }')
  awk -v n="$n" -v r="$r" -v d="$d" -v r0="$r0" -v d0="$d0" -v f="$full" -v mb="$mb" 'BEGIN {
    printf "1/%-4s %10d %8d %6.2fx   %10d %8d %6.2fx   %7.2fx %8.2fx %8s\n", n, r, d, r / d,
      r - r0, d - d0, (r - r0) / (d - d0), f / r, (f - r0) / (r - r0), mb }'
done
