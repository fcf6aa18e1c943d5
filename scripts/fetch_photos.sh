#!/usr/bin/env bash
# Fetches the real photographs the tests compare against: Debian packages
# that ship images, downloaded with apt-get and unpacked with dpkg -x.
# Usage: scripts/fetch_photos.sh DIR [PACKAGE...]
#   DIR keeps the downloaded .deb files; their contents go to DIR/root, the
#   directory to name in FOCUSRATE_PHOTOS. Without packages, all of them.
# Packages already downloaded or unpacked are not fetched again. When the
# archive cannot be reached the script says so and still exits 0: the tests
# skip the photos they cannot find.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 DIR [PACKAGE...]" >&2
  exit 2
fi
dir=$1
shift

# The packages listed in tests/data/real_photos.tsv (Debian 12 versions).
all_packages=(
  lomiri-wallpapers-16.04 lomiri-wallpapers-20.04 mate-backgrounds
  plasma-workspace-wallpapers ukui-wallpapers gnome-backgrounds sway-backgrounds
  python3-skimage opencv-doc libjxl-testdata visp-images-data imagemagick-6-doc
  r-cran-tiff libtiff-doc
)
if [ $# -gt 0 ]; then packages=("$@"); else packages=("${all_packages[@]}"); fi

if ! command -v apt-get >/dev/null || ! command -v dpkg >/dev/null; then
  echo "fetch_photos.sh: apt-get/dpkg not available; photos not fetched" >&2
  exit 0
fi
mkdir -p "$dir/root" || { echo "fetch_photos.sh: cannot create $dir" >&2; exit 0; }
dir=$(cd "$dir" && pwd)
log="$dir/fetch.log"

missing=()
for package in "${packages[@]}"; do
  stamp="$dir/root/.unpacked-$package"
  [ -e "$stamp" ] && continue
  debs=("$dir/${package}"_*.deb)
  if [ ! -e "${debs[0]}" ]; then
    if ! (cd "$dir" && apt-get download "$package") >>"$log" 2>&1; then
      missing+=("$package")
      continue
    fi
    debs=("$dir/${package}"_*.deb)
  fi
  if dpkg -x "${debs[0]}" "$dir/root" >>"$log" 2>&1; then
    touch "$stamp"
  else
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "fetch_photos.sh: could not fetch ${missing[*]} (see $log); their photos will be skipped" >&2
fi
exit 0
