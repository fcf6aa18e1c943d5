#!/usr/bin/env bash
# Lines of test code (under tests/) against lines of the other code, and the
# ratio we keep at most 0.38. Counted: C++ sources and headers, CMake files,
# shell and Python scripts, tracked or new (ignored build trees are not).
# Blank lines and comment-only lines count on neither side.
set -euo pipefail
cd "$(dirname "$0")/.."

is_code() {
  case "$1" in
    *.cpp|*.cc|*.h|*.hpp|*.cmake|*/CMakeLists.txt|CMakeLists.txt|*.sh|*.py) return 0 ;;
  esac
  # Extensionless scripts (.ci/run) are code when they start with a shebang.
  [ -f "$1" ] && head -c 2 "$1" | grep -q '^#!'
}

# Counts the lines that hold code: C++ drops // lines and /* */ blocks that
# start a line; the others drop # lines.
count_lines() {
  local total=0 file n
  while IFS= read -r file; do
    case "$file" in
      *.cpp|*.cc|*.h|*.hpp)
        n=$(awk '
          inblock { if ($0 ~ /\*\//) inblock = 0; next }
          /^[[:space:]]*$/ { next }
          /^[[:space:]]*\/\// { next }
          /^[[:space:]]*\/\*/ { if ($0 !~ /\*\//) inblock = 1; next }
          { n++ } END { print n + 0 }' "$file") ;;
      *)
        n=$(awk '/^[[:space:]]*$/ || /^[[:space:]]*#/ { next } { n++ } END { print n + 0 }' "$file") ;;
    esac
    total=$((total + n))
  done
  echo "$total"
}

files=$(git ls-files --cached --others --exclude-standard | sort -u)
test_lines=$(for f in $files; do case "$f" in tests/*) is_code "$f" && echo "$f" ;; esac; done | count_lines)
other_lines=$(for f in $files; do case "$f" in tests/*) ;; *) is_code "$f" && echo "$f" ;; esac; done | count_lines)

echo "test code:  $test_lines lines"
echo "other code: $other_lines lines"
awk -v t="$test_lines" -v o="$other_lines" 'BEGIN { printf "ratio:      %.2f\n", (o ? t / o : 0) }'
