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
cmake --build "$build" -j"$(nproc)" --target bench_engine >/dev/null

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
