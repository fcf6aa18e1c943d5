#!/usr/bin/env bash
# install_test.sh SOURCE_DIR BUILD_DIR [PYTHON]: installs the build into a scratch
# prefix and uses it as its users would: a CMake project and a pkg-config
# build rate a sample as the installed focusrate does, the rating library
# ranks the samples as focusrank does, the programs find their plugin, the
# manual pages render and list the options of focusrank and focusmap, the
# completions complete, and the Python package (given PYTHON) rates from there.
set -euo pipefail
src=$1 build=$2 python=${3:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
bin=$prefix/bin
sample=$src/samples/scene_sharp.png
"$bin/focusrate" "$sample" "$tmp/want.json" >/dev/null

cmake -S "$src/tests/consumer" -B "$tmp/cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$tmp/cmake" >/dev/null
"$tmp/cmake/consumer" "$sample" | cmp - "$tmp/want.json" || fail "CMake consumer differs"
# The rating library ranks as focusrank does.
"$bin/focusrank" --sort laplace "$src/samples" | tail -n +2 | awk -F, '{ print $1 "," $NF }' \
  >"$tmp/rank_want.txt"
"$tmp/cmake/rank_consumer" "$src/samples" | cmp - "$tmp/rank_want.txt" ||
  fail "the rating library ranks otherwise than focusrank"

libs=$(PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name focusrate-jzon.pc)") \
  pkg-config --cflags --libs focusrate-imaging focusrate-focus focusrate-jzon)
g++ -std=c++17 "$src/tests/consumer/consumer.cpp" -o "$tmp/pc_consumer" $libs
"$tmp/pc_consumer" "$sample" | cmp - "$tmp/want.json" || fail "pkg-config consumer differs"

# PPM goes through the cv::imread plugin, found from the installed program.
printf 'P6\n2 1\n255\n\377\0\0\0\377\0' > "$tmp/tiny.ppm"
"$bin/focusrate" "$tmp/tiny.ppm" "$tmp/tiny.json" >/dev/null || fail "plugin not found"
# HEIF through libheif's plugin (LibRaw's is installed alike).
heif-enc "$sample" -o "$tmp/sample.heic" >/dev/null
"$bin/focusrate" "$tmp/sample.heic" "$tmp/heic.json" >/dev/null || fail "libheif plugin not found"
version=$(sed -n 's/^project(focusrate VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
for program in focusrank focusmap; do
  [ "$("$bin/$program" --version)" = "$program $version" ] || fail "$program --version"
done

for page in "$src"/man/*.1; do
  installed=$prefix/share/man/man1/$(basename "$page")
  warnings=$(MANWIDTH=80 man --warnings -l "$installed" 2>&1 >/dev/null) || fail "$installed"
  [ -z "$warnings" ] || fail "$installed: $warnings"
done
# Option names: the leading words of indented lines, in --help and in the
# page's OPTIONS section.
options() { grep -oE '^ +-[^ ,]*(, --[^ ,]*)?' | grep -oE -- '-[-a-zA-Z0-9]+' | sort -u; }
for program in focusrank focusmap; do
  diff <("$bin/$program" --help | options) \
    <(MANWIDTH=300 man -l "$prefix/share/man/man1/$program.1" | sed -n '/^OPTIONS/,/^[A-Z]/p' |
      options) || fail "$program --help and its page list different options"
done

# completes PROGRAM WANT WORD...: completing the last WORD gives WANT.
completes() {
  local program=$1 want=$2
  shift 2
  source "$prefix/share/bash-completion/completions/$program"
  COMP_WORDS=("$bin/$program" "$@") COMP_CWORD=$#
  "_$program"
  [ "${COMPREPLY[*]}" = "$want" ] || fail "$program: completing '$*' gave '${COMPREPLY[*]}'"
}
completes focusrank --sort --so
completes focusrank "variance_lap_denoised variance_lap_denoised_norm" --sort variance_lap_d
completes focusrank laplace,tenengrad --figures laplace,te
completes focusmap --measure --me
completes focusrate "$src/samples" "$src/sam"

if [ -n "$python" ]; then
  module=$(find "$prefix" -name '_native*.so' -path '*-packages/focusrate/*')
  PYTHONPATH=$(dirname "$(dirname "$module")") "$python" -c \
    'import focusrate, sys; sys.exit(focusrate.rate(sys.argv[1]).status != "ok")' "$tmp/tiny.ppm" ||
    fail "the installed Python module does not rate through the plugin"
fi
