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
source "$root/scripts/bench_rows.sh"
row_heads
dng=$tmp/photo.dng
row half "decode half" "dcraw_emu -h -w -o 1" -- "$decode" "$dng" half -- dcraw_emu -h -w -o 1 -Z - "$dng"
row full "decode full" "dcraw_emu -w -o 1" -- "$decode" "$dng" full -- dcraw_emu -w -o 1 -Z - "$dng"
row preview "decode preview" "the JPEG alone" -- "$decode" "$dng" preview -- "$decode" "$tmp/preview.jpg"
row heic "decode" "heif-convert to PNG" -- "$decode" "$tmp/photo.heic" -- heif-convert "$tmp/photo.heic" "$tmp/out.png"
row rate-raw "focusrate (half)" "decode half" -- "$build/bin/focusrate" "$dng" "$tmp/out.json" -- "$decode" "$dng" half
row rate-heic "focusrate" "decode" -- "$build/bin/focusrate" "$tmp/photo.heic" "$tmp/out.json" -- "$decode" "$tmp/photo.heic"
