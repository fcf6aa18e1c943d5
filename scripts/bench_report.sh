#!/usr/bin/env bash
# What focusrank --report costs: the same run with and without it, over 200
# tiny JPEGs (480x320: the thumbnail is as large as the photo, so encoding it
# costs about what decoding the photo did), 200 small ones (1440x960) and 40
# large ones (3840x2880, 11 MP), made from the bundled sample scene. Each way runs ROUNDS times (default 3), alternating;
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
# here need), tiled 3 x 3 for the small frame and 8 x 9 for the large one;
# cjpeg encodes them.
convert "$root/samples/scene_sharp.png" ppm:- > "$tmp/tiny.ppm"
tile() {
  python3 - "$tmp/tiny.ppm" "$tmp/$1.ppm" "$2" "$3" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
across, down = int(sys.argv[3]), int(sys.argv[4])
fields = data.split(maxsplit=4)
w, h = int(fields[1]), int(fields[2])
pixels = data[len(data) - w * h * 3:]
rows = [pixels[y * w * 3:(y + 1) * w * 3] * across for y in range(h)]
with open(sys.argv[2], 'wb') as out:
    out.write(b'P6\n%d %d\n255\n' % (w * across, h * down))
    for _ in range(down):
        out.write(b''.join(rows))
PY
}
tile small 3 3
tile large 8 9
for set in tiny:200 small:200 large:40; do
  name=${set%:*}
  mkdir -p "$tmp/$name"
  cjpeg -quality 90 "$tmp/$name.ppm" > "$tmp/$name.jpg"
  for i in $(seq -w 1 "${set#*:}"); do cp "$tmp/$name.jpg" "$tmp/$name/$i.jpg"; done
done

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
for set in tiny small large; do
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
