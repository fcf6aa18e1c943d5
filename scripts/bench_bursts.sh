#!/usr/bin/env bash
# What culling costs: focusrank --bursts --xmp against a plain focusrank run
# over the 10 to 24 MP photos of the focusrank benchmark collection (made as
# scripts/bench_focusrank.sh makes it), both measured in one run on this
# machine. The photos are copied to a scratch folder, so the sidecars never
# land in the collection. Each way runs ROUNDS times (default 3), alternating;
# the fastest run of each counts.
# Usage: scripts/bench_bursts.sh [BUILD_DIR] [ROUNDS]     (default: build-bench 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
rounds=${2:-3}
photos=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}
collection=${FOCUSRANK_BENCH_PHOTOS:-/var/tmp/focusrank-bench}
jobs=2

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target focusrank make_bench_photos >/dev/null
rank=$build/bin/focusrank
if [ ! -d "$collection/large" ]; then
  [ -d "$photos" ] || { echo "bench_bursts: no photos in $photos (scripts/fetch_photos.sh)"; exit 1; }
  "$build/bench/make_bench_photos" "$photos" "$collection"
fi

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
tmp=$(mktemp -d /var/tmp/focusrank-bursts.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cp "$collection"/large/*.jpg "$tmp"/
count=$(ls "$tmp"/*.jpg | wc -l)

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
# seconds ARGS...: wall time of one focusrank run over the copies.
seconds() {
  local start
  start=$(now)
  "$rank" --quiet --jobs "$jobs" "$@" "$tmp" > "$tmp/rows.csv"
  calc "$(now) - $start"
}

plain=1e9 culled=1e9
for ((r = 0; r < rounds; r++)); do
  p=$(seconds)
  rm -f "$tmp"/*.xmp  # every round creates its sidecars afresh
  c=$(seconds --bursts --xmp)
  plain=$(calc "$p < $plain ? $p : $plain")
  culled=$(calc "$c < $culled ? $c : $culled")
done
bursts=$(cut -d, -f7 "$tmp/rows.csv" | sort -u | grep -c . || true)

echo
echo "== focusrank --jobs $jobs on $count photos of 10 to 24 MP (fastest of $rounds)"
printf '%-26s %9s %9s\n' run seconds images/s
printf '%-26s %9.2f %9.2f\n' plain "$plain" "$(calc "$count / $plain")"
printf '%-26s %9.2f %9.2f\n' "--bursts --xmp" "$culled" "$(calc "$count / $culled")"
echo "extra cost: $(calc "($culled / $plain - 1) * 100")% (target: at most 10%);" \
  "$((bursts - 1)) bursts, $(ls "$tmp"/*.xmp | wc -l) sidecars"
