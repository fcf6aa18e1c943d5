#!/usr/bin/env bash
# focusrank --scale on a 24 MP camera-like JPEG (generated: soft shapes and
# grain, 4:2:0, quality 90; or the JPEG given): each scale against djpeg
# -scale decoding alone to /dev/null (target: within 1.1x of its time), then
# against focusrank at full size (the speed-up). One image, one job.
# Ranking quality at reduced scale is in scripts/bench_map.sh.
# Usage: scripts/bench_scale.sh [BUILD_DIR] [JPEG]     (default: build-bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
runs=15

"$root/scripts/install_deps.sh" bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_engine focusrank >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
jpeg=${2:-$tmp/photo-6000x4000.jpg}
[ -n "${2:-}" ] || "$build/bench/bench_engine" --make-jpeg 6000 4000 "$jpeg"
rank=$build/bin/focusrank

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "== $jpeg: median wall and CPU (user + system) time of $runs alternating runs, peak memory"
source "$root/scripts/bench_rows.sh"
row_heads
for n in 2 4 8; do
  row "1/$n" "focusrank" "djpeg -scale 1/$n" -- "$rank" -q -j1 --scale "1/$n" "$jpeg" \
    -- djpeg -scale "1/$n" -outfile /dev/null "$jpeg"
done
for n in 2 4 8; do
  row "1/$n" "focusrank" "focusrank full size" -- "$rank" -q -j1 --scale "1/$n" "$jpeg" \
    -- "$rank" -q -j1 "$jpeg"
done
