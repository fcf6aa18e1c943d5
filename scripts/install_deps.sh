#!/usr/bin/env bash
# Installs the Debian packages a job needs, only those that are missing.
# Usage: scripts/install_deps.sh build|test|bench|cross ...
# As root it runs apt-get; otherwise it lists what to install and fails.
set -euo pipefail

packages=(cmake g++ make libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev
          libopencv-objdetect-dev opencv-data libjpeg62-turbo-dev libpng-dev libwebp-dev libexiv2-dev
          libraw-dev libheif-dev pkg-config)
for job in "$@"; do
  case "$job" in
    build) ;;
    test) packages+=(libgtest-dev clang libclang-rt-14-dev parallel python3 jq man-db pkg-config
                     pybind11-dev python3-dev python3-numpy python3-pytest python3-dask
                     python3-distributed libimage-exiftool-perl
                     python3-venv python3-setuptools python3-wheel exempi libraw-bin libheif-examples
                     libjpeg-turbo-progs chromium util-linux) ;;
    bench) packages+=(libbenchmark-dev nlohmann-json3-dev rapidjson-dev time
                      pybind11-dev python3-dev python3-numpy python3-opencv
                      libraw-bin libheif-examples libjpeg-turbo-progs) ;;
    cross) packages+=(g++-aarch64-linux-gnu qemu-user file libopencv-core-dev:arm64
                      libopencv-imgproc-dev:arm64 libopencv-objdetect406:arm64
                      libjpeg62-turbo-dev:arm64 libpng-dev:arm64 libwebp-dev:arm64
                      libexiv2-dev:arm64 libgtest-dev:arm64 libraw-dev:arm64
                      libheif-dev:arm64) ;;
    *) echo "install_deps.sh: unknown job '$job' (build, test, bench or cross)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
case "${missing[*]}" in *:arm64*) dpkg --add-architecture arm64 ;; esac
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
