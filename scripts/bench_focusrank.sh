#!/usr/bin/env bash
# focusrank against a shell loop of focusrate over the same photos, measured
# in one run on this machine, with focusrank's peak memory.
# Usage: scripts/bench_focusrank.sh [BUILD_DIR]     (default: build-bench)
# The collection (400 JPEGs made from FOCUSRATE_PHOTOS, default
# /var/tmp/focusrate-photos/root) is cached in FOCUSRANK_BENCH_PHOTOS
# (default /var/tmp/focusrank-bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
photos=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}
collection=${FOCUSRANK_BENCH_PHOTOS:-/var/tmp/focusrank-bench}
jobs=2

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target focusrank focusrate make_bench_photos >/dev/null
rank=$build/bin/focusrank
rate=$build/bin/focusrate

if [ ! -d "$collection/small" ]; then
  [ -d "$photos" ] || { echo "bench_focusrank: no photos in $photos (scripts/fetch_photos.sh)"; exit 1; }
  "$build/bench/make_bench_photos" "$photos" "$collection"
fi

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

now() { date +%s.%N; }
# calc EXPRESSION: floating-point arithmetic without bc.
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# row NAME LIST: rates the files of LIST both ways and prints one table row.
row() {
  local name=$1 list=$2 count start loop batch
  count=$(wc -l < "$list")
  start=$(now)
  while IFS= read -r f; do "$rate" "$f" "$tmp/out.json" >/dev/null || true; done < "$list"
  loop=$(calc "$(now) - $start")
  start=$(now)
  "$rank" --quiet --jobs "$jobs" --files-from "$list" > "$tmp/rows.csv"
  batch=$(calc "$(now) - $start")
  printf '%-28s %6d %10.2f %13.2f %8.2fx\n' "$name" "$count" \
    "$(calc "$count / $loop")" "$(calc "$count / $batch")" "$(calc "$loop / $batch")"
}

find "$collection/large" -name '*.jpg' | sort > "$tmp/large"
find "$collection/small" -name '*.jpg' | sort > "$tmp/small"
find "$collection/large" "$collection/medium" -name '*.jpg' | sort > "$tmp/all"

echo
echo "== Throughput, images per second (focusrank --jobs $jobs vs a loop of focusrate)"
printf '%-28s %6s %10s %13s %9s\n' set images loop/s focusrank/s ratio
row "10 to 24 MP" "$tmp/large"
row "under 1 MP" "$tmp/small"
row "1 to 24 MP (whole folder)" "$tmp/all"

# rank_rate LIST [ENV...]: focusrank's images per second on LIST.
rank_rate() {
  local list=$1 start; shift
  start=$(now)
  env "$@" "$rank" --quiet --jobs "$jobs" --files-from "$list" > "$tmp/rows.csv"
  calc "$(wc -l < "$list") / ($(now) - $start)"
}

echo
echo "== Decoding straight from libjpeg-turbo against cv::imread for every file"
echo "   (a pixel limit set in OPENCV_IO_MAX_IMAGE_PIXELS sends every file to cv::imread)"
printf '%-28s %10s %10s %8s\n' set direct/s imread/s ratio
for set in small large; do
  direct=$(rank_rate "$tmp/$set")
  imread=$(rank_rate "$tmp/$set" OPENCV_IO_MAX_IMAGE_PIXELS=1073741824)
  printf '%-28s %10.2f %10.2f %7.2fx\n' "$set" "$direct" "$imread" "$(calc "$direct / $imread")"
done

echo
echo "== Peak memory (max RSS) of focusrank --jobs $jobs on the 10 to 24 MP photos"
largest=$(awk -F'\t' '$1 ~ /\/large\// { p = $2 * $3; if (p > m) m = p } END { print m }' \
  "$collection/sizes.tsv")
rss() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
baseline=$(rss "$rank" --quiet "$collection/small/000.jpg")
peak=$(rss "$rank" --quiet --jobs "$jobs" --files-from "$tmp/large")
decoded=$((largest * 3 / 1024))
echo "largest photo $(calc "$largest / 1e6") MP, decoded $((decoded / 1024)) MiB;" \
  "baseline (one small photo) $((baseline / 1024)) MiB"
echo "peak $((peak / 1024)) MiB = baseline + $(calc "($peak - $baseline) / $decoded")" \
  "x one decoded largest photo (jobs $jobs)"
