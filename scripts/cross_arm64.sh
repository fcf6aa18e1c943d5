#!/usr/bin/env bash
# Cross-compiles the libraries, the programs and the engine's differential
# test for arm64, and runs that test under qemu-user: the scalar loops
# against the reference on another CPU. Not part of scripts/test.sh (it
# installs a cross tool chain and arm64 libraries).
# Usage: scripts/cross_arm64.sh [BUILD_DIR]        (default: build-arm64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-arm64}

"$root/scripts/install_deps.sh" cross
# Debian cannot hold the arm64 opencv_imgcodecs beside the amd64 one, and
# only the plugin links it: take its library from the package, unpacked.
# opencv_objdetect's arm64 library installs, but not its -dev package: it is
# named by its full file name (the headers are the same for every CPU).
codecs=$build/imgcodecs
if [ ! -e "$codecs/usr/lib/aarch64-linux-gnu/libopencv_imgcodecs.so.406" ]; then
  mkdir -p "$codecs"
  (cd "$codecs" && apt-get download -qq libopencv-imgcodecs406:arm64 &&
    dpkg-deb -x libopencv-imgcodecs406_*_arm64.deb .)
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
  -DOPENCV_imgcodecs_LIBRARY="$(ls "$codecs"/usr/lib/aarch64-linux-gnu/libopencv_imgcodecs.so.4*.*.*)" \
  -DOPENCV_objdetect_LIBRARY="$(ls /usr/lib/aarch64-linux-gnu/libopencv_objdetect.so.4*.*.*)" \
  -DCMAKE_EXE_LINKER_FLAGS=-Wl,--as-needed >/dev/null
cmake --build "$build" -j"$(nproc)" --target focusrate focusrank focusrate_imread engine_differential_test
file "$build/bin/focusrank" | grep -q 'ARM aarch64' || { echo "cross_arm64.sh: not an arm64 program" >&2; exit 1; }
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 1800 -R '^EngineDifferential\.')
qemu-aarch64 "$build/bin/focusrank" --jobs 2 "$root/samples"
