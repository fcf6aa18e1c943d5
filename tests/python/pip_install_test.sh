#!/usr/bin/env bash
# pip_install_test.sh SOURCE_DIR BUILD_DIR PYTHON: pip installs the checkout
# into a fresh venv (CMake builds in BUILD_DIR/pip-build, kept between runs)
# and uses it from elsewhere: the module exports its entry point alone and
# rates a PNG and, through the plugin beside it, a PPM of the same pixels
# alike. Exits 77 (skipped) when PYTHON cannot make a venv.
set -euo pipefail
src=$1 build=$2 python=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "pip_install_test: $*" >&2; exit 1; }
"$python" -m venv --system-site-packages "$tmp/venv" || exit 77
FOCUSRATE_PIP_BUILD_DIR=$build/pip-build "$tmp/venv/bin/pip" install -q --no-build-isolation \
  --no-index "$src" || fail "pip install failed"
module=$(echo "$tmp"/venv/lib/python*/site-packages/focusrate/_native*.so)
[ "$(nm -D --defined-only "$module" | awk '{ print $3 }')" = PyInit__native ] ||
  fail "$module exports more than PyInit__native"
cd "$tmp"
"$tmp/venv/bin/python" - "$src/samples/scene_sharp.png" "$tmp" <<'PY' || fail "the installed module"
import sys, focusrate
png, folder = sys.argv[1:]
assert focusrate.__file__.startswith(folder + "/venv/"), focusrate.__file__
pixels = focusrate.decode(png)[..., ::-1]
ppm = folder + "/same.ppm"
with open(ppm, "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % pixels.shape[1::-1] + pixels.tobytes())
rows = [focusrate.rate(path) for path in (png, ppm)]
assert rows[0].status == "ok" and rows[0][1:] == rows[1][1:], rows
PY
