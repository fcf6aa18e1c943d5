#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain
# build with warnings as errors, and an AddressSanitizer + UBSan build. A
# third, small build without the vector loops runs the engine's
# differential tests only, so the scalar loops stay checked on AVX2 hosts.
# Real photographs from Debian packages are fetched once into a cache
# (FOCUSRATE_PHOTOS) when the archive is reachable; tests skip them otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh test
jobs=$(nproc)
export FOCUSRATE_PHOTOS="${FOCUSRATE_PHOTOS:-/var/tmp/focusrate-photos/root}"
scripts/fetch_photos.sh "$(dirname "$FOCUSRATE_PHOTOS")" python3-skimage libtiff-doc r-cran-tiff imagemagick-6-doc opencv-doc \
  || echo "test.sh: real photographs unavailable; their tests will be skipped"

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

echo "== plain build (with the Python module, for Debian's python3 and its packages)"
run_suite build -DFOCUSRATE_PYTHON=ON -DPython3_EXECUTABLE=/usr/bin/python3
echo "== sanitizer build"
run_suite build-asan -DFOCUSRATE_SANITIZE=ON
echo "== build without vector loops (engine differential and reduced copy tests)"
cmake -S . -B build-scalar -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_TESTS=ON \
  -DFOCUSRATE_VECTOR_LOOPS=OFF >/dev/null
cmake --build build-scalar -j "$jobs" --target engine_differential_test report_cli_test
(cd build-scalar && ctest --output-on-failure -j "$jobs" --timeout 600 -R '^(EngineDifferential|ReducedCopy)\.')
echo "== fuzzing the parser"
scripts/fuzz.sh 60
