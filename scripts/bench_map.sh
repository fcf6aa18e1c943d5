#!/usr/bin/env bash
# Ranking quality of every figure and subject mode on controlled variants of
# the fetched photos (bench/ranking_quality.cpp says how they are made), the
# subject modes on photos whose subject was marked by eye and cropped to put
# it in the middle or on a third (bench/subject_quality.cpp), every
# figure against noise and exposure, blur told at focusrank --scale's reduced
# sizes (bench/ranking_at_scale.h), the cost of tiles beside the whole-frame
# pass, and focusmap's whole run beside focusrate's on the same photo.
# Usage: scripts/bench_map.sh [BUILD_DIR] [COUNT]   (default: build-bench, 40)
# Photos come from FOCUSRATE_PHOTOS (default /var/tmp/focusrate-photos/root,
# fetched by scripts/fetch_photos.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
count=${2:-40}
photos=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}

"$root/scripts/install_deps.sh" bench
[ -d "$photos" ] || "$root/scripts/fetch_photos.sh" "$(dirname "$photos")"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target ranking_quality subject_quality bench_engine focusrate focusmap >/dev/null

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
"$build/bench/ranking_quality" "$photos" "$count"
echo
"$build/bench/subject_quality" "$photos"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$root/scripts/median_ms.sh"

echo
echo "== Whole runs on a 24 MP JPEG (median of 9, all cores)"
jpeg="$tmp/photo-6000x4000.jpg"
"$build/bench/bench_engine" --make-jpeg 6000 4000 "$jpeg"
rate=$(median_ms 9 "$build/bin/focusrate" "$jpeg" "$tmp/out.json")
map=$(median_ms 9 "$build/bin/focusmap" "$jpeg" "$tmp/map.png")
tiles=$(median_ms 9 "$build/bin/focusmap" "$jpeg" "$tmp/map.png" --tiles-json "$tmp/tiles.json")
printf "%-40s %9s ms\n" "focusrate IMAGE OUT.json" "$rate"
for row in "focusmap IMAGE OUT.png:$map" "focusmap ... --tiles-json FILE:$tiles"; do
  printf "%-40s %9s ms  %5.2fx\n" "${row%%:*}" "${row##*:}" \
    "$(awk -v a="${row##*:}" -v b="$rate" 'BEGIN { print a / b }')"
done
