#!/usr/bin/env bash
# Installs what is missing, builds focusrate, and rates the bundled samples,
# printing each result file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DFOCUSRATE_WERROR=ON -DFOCUSRATE_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target focusrate focusrank

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for image in samples/*; do
  name=$(basename "$image")
  status=0
  build/bin/focusrate "$image" "$out/$name.json" >/dev/null || status=$?
  echo "== $image (exit status $status)"
  if [ "$status" -eq 0 ]; then cat "$out/$name.json"; echo; fi
done
echo "== the same samples ranked by focusrank, sharpest first"
build/bin/focusrank --sort variance-lap samples
