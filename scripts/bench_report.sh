#!/usr/bin/env bash
# What focusrank --report costs: the same run with and without it, over 200
# small JPEGs (480x320) and 40 large ones (3840x2880, 11 MP), made from the
# bundled sample scene. Each way runs ROUNDS times (default 3), alternating;
# the fastest run of each counts. Target: --report at most 25% more.
# Usage: scripts/bench_report.sh [BUILD_DIR] [ROUNDS]     (default: build-bench 3)
# FOCUSRANK=PROGRAM measures that focusrank as it is, building nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
rounds=${2:-3}
jobs=2

rank=${FOCUSRANK:-$build/bin/focusrank}
if [ -z "${FOCUSRANK:-}" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON >/dev/null
  cmake --build "$build" -j2 --target focusrank >/dev/null
fi
tmp=$(mktemp -d /var/tmp/focusrank-report.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

# The scene as PPM (convert FILE.png ppm:- is all the Debian image tools
# here need), tiled 8 x 9 for the large frame; cjpeg encodes both.
convert "$root/samples/scene_sharp.png" ppm:- > "$tmp/scene.ppm"
python3 - "$tmp/scene.ppm" "$tmp/large.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields = data.split(maxsplit=4)
w, h = int(fields[1]), int(fields[2])
pixels = data[len(data) - w * h * 3:]
rows = [pixels[y * w * 3:(y + 1) * w * 3] * 8 for y in range(h)]
with open(sys.argv[2], 'wb') as out:
    out.write(b'P6\n%d %d\n255\n' % (w * 8, h * 9))
    for _ in range(9):
        out.write(b''.join(rows))
PY
mkdir -p "$tmp/small" "$tmp/large"
cjpeg -quality 90 "$tmp/scene.ppm" > "$tmp/small.jpg"
cjpeg -quality 90 "$tmp/large.ppm" > "$tmp/large.jpg"
for i in $(seq -w 1 200); do cp "$tmp/small.jpg" "$tmp/small/$i.jpg"; done
for i in $(seq -w 1 40); do cp "$tmp/large.jpg" "$tmp/large/$i.jpg"; done

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
# seconds FOLDER ARGS...: wall time of one focusrank run over FOLDER.
seconds() {
  local start folder=$1
  shift
  start=$(now)
  "$rank" --quiet --jobs "$jobs" "$@" "$folder" > "$tmp/rows.csv"
  calc "$(now) - $start"
}

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
printf '%-28s %9s %9s %7s\n' "focusrank --jobs $jobs" plain report ratio
for set in small large; do
  count=$(ls "$tmp/$set" | wc -l)
  plain=1e9 reported=1e9
  for ((r = 0; r < rounds; r++)); do
    p=$(seconds "$tmp/$set")
    q=$(seconds "$tmp/$set" --report "$tmp/report-$set")
    plain=$(calc "$p < $plain ? $p : $plain")
    reported=$(calc "$q < $reported ? $q : $reported")
  done
  printf '%-28s %9.3f %9.3f %7.3f\n' "$count $set JPEGs (s)" "$plain" "$reported" \
    "$(calc "$reported / $plain")"
done
echo "(fastest of $rounds; target ratio: at most 1.25)"
