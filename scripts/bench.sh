#!/usr/bin/env bash
# Builds the benchmarks in Release and prints their tables, headed by the
# machine they ran on. Ratios are taken against baselines of the same run.
# Usage: scripts/bench.sh [BUILD_DIR]        (default: build-bench)
# Photos come from FOCUSRATE_PHOTOS (default /var/tmp/focusrate-photos/root,
# see scripts/fetch_photos.sh); a photo that is missing is replaced by a
# generated JPEG of the same size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
photos=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_engine bench_start_core bench_decode_rows focusrate >/dev/null

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# photo NAME WIDTH HEIGHT: the photo's path, or a generated stand-in.
photo() {
  if [ -f "$photos/$1" ]; then
    echo "$photos/$1"
  else
    "$build/bench/bench_engine" --make-jpeg "$2" "$3" "$tmp/generated-$2x$3.jpg"
    echo "$tmp/generated-$2x$3.jpg"
  fi
}

echo
echo "== Rating one image: decode only, literal pipeline, engine (bench_engine)"
"$build/bench/bench_engine" --repeats 3 \
  "$(photo usr/share/backgrounds/Painting-Colors_by__herobrine7gamer.jpg 6000 4000)" \
  "$(photo usr/share/backgrounds/Picture_0B_by_freespace.jpg 2572 1740)"

source "$root/scripts/median_ms.sh"

echo
echo "== Start to exit on a 64x64 PNG (median of 30 runs; target: at most 1.5x the floor)"
"$build/bench/bench_engine" --make-jpeg 64 64 "$tmp/small.png"  # the name sets the format
floor=$(median_ms 30 "$build/bench/bench_start_core")
rate=$(median_ms 30 "$build/bin/focusrate" "$tmp/small.png" "$tmp/small.json")
printf "%-36s %8s ms\n" "program linked to opencv_core only" "$floor"
printf "%-36s %8s ms  %5.2fx\n" "focusrate" "$rate" "$(awk -v a="$rate" -v b="$floor" 'BEGIN { print a / b }')"

echo
echo "== Whole runs on baseline JPEGs: focusrate against decoding alone with libjpeg-turbo"
echo "   (rows decoded into one row buffer, nothing measured; median of 30 runs;"
echo "   targets: time at most 1.1x, 24 MP peak at most 30 MB)"
printf "%-8s %22s %22s %8s\n" "image" "focusrate ms / peak MB" "decode ms / peak MB" "time"
peak_mb() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'; }
for size in "1000 1000" "6000 4000"; do
  set -- $size
  jpeg="$tmp/baseline-$1x$2.jpg"
  "$build/bench/bench_engine" --make-jpeg "$1" "$2" "$jpeg"
  rate=$(median_ms 30 "$build/bin/focusrate" "$jpeg" "$tmp/out.json")
  decode=$(median_ms 30 "$build/bench/bench_decode_rows" "$jpeg")
  printf "%-8s %12s / %7s %12s / %7s %7.2fx\n" "$(($1 * $2 / 1000000)) MP" \
    "$rate" "$(peak_mb "$build/bin/focusrate" "$jpeg" "$tmp/out.json")" \
    "$decode" "$(peak_mb "$build/bench/bench_decode_rows" "$jpeg")" \
    "$(awk -v a="$rate" -v b="$decode" 'BEGIN { print a / b }')"
done
