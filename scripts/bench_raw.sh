#!/usr/bin/env bash
# Camera raw and HEIF decoding beside the libraries' own tools, on generated
# files: a 24 MP DNG rendered half size and full size (against dcraw_emu
# -h -w and -w, writing to /dev/null) and by its embedded 1500x1000 JPEG
# preview (against decoding that JPEG alone), and a 12 MP HEIC (against
# heif-convert, which also writes a PNG). Our side decodes into one row
# buffer (bench_decode_rows); a whole focusrate run follows each.
# Usage: scripts/bench_raw.sh [BUILD_DIR]        (default: build-bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
runs=7

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target make_raw_heif bench_decode_rows focusrate >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/bench/make_raw_heif" "$tmp"
heif-enc -q 90 "$tmp/photo.png" -o "$tmp/photo.heic" >/dev/null
decode=$build/bench/bench_decode_rows

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "== Decoding: median wall and CPU (user + system) time of $runs alternating runs, peak memory"
printf "%-9s %-17s %21s   %-21s %21s %7s %7s\n" "" "ours" "wall/cpu ms, MB" "baseline" "wall/cpu ms, MB" "wall" "cpu"
# measure FILE COMMAND...: one run's wall ms, CPU ms and peak kB, added to FILE.
measure() {
  local file=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$file.time" "$@" >/dev/null 2>&1 || true
  awk '{ printf "%d %d %d\n", $1 * 1000, ($2 + $3) * 1000, $4 }' "$file.time" >>"$file"
}
# median COLUMN FILE: the median of a column measure wrote.
median() { cut -d' ' -f"$1" "$2" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# row NAME LABEL BASELINE_LABEL -- OURS... -- BASELINE...
row() {
  local name=$1 ours_label=$2 base_label=$3 ours=() base=() i side
  shift 4
  while [ "$1" != -- ]; do ours+=("$1"); shift; done
  shift
  base=("$@")
  # Runs alternate, so that a load coming and going weighs on both alike.
  for i in $(seq "$runs"); do
    measure "$tmp/$name-ours" "${ours[@]}"
    measure "$tmp/$name-base" "${base[@]}"
  done
  local figures=()
  for side in ours base; do
    figures+=("$(median 1 "$tmp/$name-$side")" "$(median 2 "$tmp/$name-$side")"
              "$(median 3 "$tmp/$name-$side" | awk '{ printf "%.1f", $1 / 1024 }')")
  done
  printf "%-9s %-17s %6s/%6s, %6s   %-21s %6s/%6s, %6s %6.2fx %6.2fx\n" "$name" "$ours_label" \
    "${figures[0]}" "${figures[1]}" "${figures[2]}" "$base_label" "${figures[3]}" "${figures[4]}" \
    "${figures[5]}" "$(awk -v a="${figures[0]}" -v b="${figures[3]}" 'BEGIN { print a / b }')" \
    "$(awk -v a="${figures[1]}" -v b="${figures[4]}" 'BEGIN { print a / b }')"
}
dng=$tmp/photo.dng
row half "decode half" "dcraw_emu -h -w -o 1" -- "$decode" "$dng" half -- dcraw_emu -h -w -o 1 -Z - "$dng"
row full "decode full" "dcraw_emu -w -o 1" -- "$decode" "$dng" full -- dcraw_emu -w -o 1 -Z - "$dng"
row preview "decode preview" "the JPEG alone" -- "$decode" "$dng" preview -- "$decode" "$tmp/preview.jpg"
row heic "decode" "heif-convert to PNG" -- "$decode" "$tmp/photo.heic" -- heif-convert "$tmp/photo.heic" "$tmp/out.png"
row rate-raw "focusrate (half)" "decode half" -- "$build/bin/focusrate" "$dng" "$tmp/out.json" -- "$decode" "$dng" half
row rate-heic "focusrate" "decode" -- "$build/bin/focusrate" "$tmp/photo.heic" "$tmp/out.json" -- "$decode" "$tmp/photo.heic"
