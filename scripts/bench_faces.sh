#!/usr/bin/env bash
# Face-search settings for --subject faces and auto: faces pasted into real
# photos found (by size), false finds on the photos alone, and the cost per
# 1.7 MP frame beside a plain run of it (bench/face_search.cpp says how the
# frames are made). The last row is the setting the library uses.
# Usage: scripts/bench_faces.sh [BUILD_DIR]   (default: build-bench)
# Photos come from FOCUSRATE_PHOTOS (default /var/tmp/focusrate-photos/root,
# fetched by scripts/fetch_photos.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
photos=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}

"$root/scripts/install_deps.sh" bench
"$root/scripts/fetch_photos.sh" "$(dirname "$photos")" python3-skimage opencv-doc visp-images-data \
  lomiri-wallpapers-16.04 mate-backgrounds plasma-workspace-wallpapers
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target face_search >/dev/null

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), one core"
"$build/bench/face_search" "$photos"
