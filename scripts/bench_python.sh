#!/usr/bin/env bash
# focusrate.figures from Python against the same call in C++ (target: at
# most 1.05x) and against the literal OpenCV pipeline written in Python with
# cv2, on a 24 MP photo (or a generated JPEG of that size).
# Usage: scripts/bench_python.sh [BUILD_DIR] [REPEATS]   (default: build-bench, 15)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
repeats=${2:-15}
photo=${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}/usr/share/backgrounds/Painting-Colors_by__herobrine7gamer.jpg
python=/usr/bin/python3

"$root/scripts/install_deps.sh" bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_BENCH=ON \
  -DFOCUSRATE_PYTHON=ON -DPython3_EXECUTABLE="$python" >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_figures bench_engine focusrate_python >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ ! -f "$photo" ]; then
  photo=$tmp/generated-6000x4000.jpg
  "$build/bench/bench_engine" --make-jpeg 6000 4000 "$photo"
fi
module_dir=$(grep '^FOCUSRATE_PYTHON_DIR:' "$build/CMakeCache.txt" | cut -d= -f2)

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "Image: $photo (median of $repeats calls, one thread)"
read -r cpp_ms cpp_laplace < <("$build/bench/bench_figures" "$photo" "$repeats")
read -r py_ms cv2_ms py_laplace < <(PYTHONPATH=$build/$module_dir "$python" "$root/bench/bench_python.py" "$photo" "$repeats")
[ "$cpp_laplace" = "$py_laplace" ] || { echo "bench_python.sh: C++ and Python figures differ" >&2; exit 1; }
printf "%-44s %9s ms\n" "FastFigures from C++" "$cpp_ms"
printf "%-44s %9s ms  %5.3fx C++ (target: at most 1.05x)\n" "focusrate.figures from Python" "$py_ms" \
  "$(awk -v a="$py_ms" -v b="$cpp_ms" 'BEGIN { print a / b }')"
printf "%-44s %9s ms  %5.2fx focusrate.figures\n" "literal cv2 pipeline from Python" "$cv2_ms" \
  "$(awk -v a="$cv2_ms" -v b="$py_ms" 'BEGIN { print a / b }')"
