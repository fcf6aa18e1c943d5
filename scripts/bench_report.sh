#!/usr/bin/env bash
# What focusrank --report costs: the same run with and without it, over 200
# tiny JPEGs (480x320: the thumbnail is as large as the photo, so encoding it
# costs about what decoding the photo did), 200 small ones (1440x960) and 40
# large ones (3840x2880, 11 MP), made from the bundled sample scene's fine
# detail, which decodes fast; then, when the real photographs are fetched
# (scripts/fetch_photos.sh), over 200 real JPEGs of 0.5-5 MP and 40 of
# 10-24 MP (tests/data/real_photos.tsv's, repeated), also with --subject
# center, where each image is held whole. The report goes to a new folder,
# then again over it. Each way runs ROUNDS times (default 3),
# alternating; the fastest run of each counts. Target: --report at most 25%
# more.
# Usage: scripts/bench_report.sh [BUILD_DIR] [ROUNDS]     (default: build-bench 3)
# FOCUSRANK=PROGRAM measures that focusrank as it is, building nothing;
# FOCUSRATE_PHOTOS: where the photographs are (default
# /var/tmp/focusrate-photos/root).
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
sets=(tiny small large)
for set in tiny:200 small:200 large:40; do
  name=${set%:*}
  mkdir -p "$tmp/$name"
  cjpeg -quality 90 "$tmp/$name.ppm" > "$tmp/$name.jpg"
  for i in $(seq -w 1 "${set#*:}"); do cp "$tmp/$name.jpg" "$tmp/$name/$i.jpg"; done
done

# real NAME COUNT MIN_MP MAX_MP: COUNT copies of the listed JPEGs of that size.
photos=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}
real() {
  local i=0 path
  mapfile -t found < <(awk -F'\t' -v lo="$3" -v hi="$4" \
    '$3 == "JPEG" && $4 * $5 >= lo * 1e6 && $4 * $5 <= hi * 1e6 { print $2 }' \
    "$root/tests/data/real_photos.tsv" | while read -r path; do
      [ -f "$photos/$path" ] && echo "$photos/$path"; done)
  [ ${#found[@]} -gt 0 ] || return 0
  mkdir -p "$tmp/$1"
  for ((i = 0; i < $2; i++)); do cp "${found[i % ${#found[@]}]}" "$tmp/$1/$(printf %03d "$i").jpg"; done
  sets+=("$1" "$1 --subject center")
}
real real-small 200 0.5 5
real real-large 40 10 24
[ ${#sets[@]} -gt 3 ] || echo "(no photographs under $photos: scripts/fetch_photos.sh fetches them)"

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
printf '%-44s %8s %8s %6s %8s %6s\n' "focusrank --jobs $jobs" plain report ratio again ratio
for run in "${sets[@]}"; do
  read -r set options <<< "$run"
  count=$(ls "$tmp/$set" | wc -l)
  plain=1e9 reported=1e9 again=1e9
  for ((r = 0; r < rounds; r++)); do
    # shellcheck disable=SC2086 # options are words
    p=$(seconds "$tmp/$set" $options)
    # report: into a new folder; again: over the one before, whose
    # thumbnails are kept (the same bytes) and its page replaced.
    rm -rf "$tmp/report-$set"
    # shellcheck disable=SC2086
    q=$(seconds "$tmp/$set" $options --report "$tmp/report-$set")
    # shellcheck disable=SC2086
    a=$(seconds "$tmp/$set" $options --report "$tmp/report-$set")
    plain=$(calc "$p < $plain ? $p : $plain")
    reported=$(calc "$q < $reported ? $q : $reported")
    again=$(calc "$a < $again ? $a : $again")
  done
  printf '%-44s %8.3f %8.3f %6.3f %8.3f %6.3f\n' "$count $set JPEGs${options:+ $options} (s)" \
    "$plain" "$reported" "$(calc "$reported / $plain")" "$again" "$(calc "$again / $plain")"
done
echo "(fastest of $rounds; target ratio: at most 1.25)"
