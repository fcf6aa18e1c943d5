#!/usr/bin/env bash
# Builds the Jzon libFuzzer target straight from the json/ sources with clang
# and runs it on a copy of the committed corpus for a bounded time.
# Usage: scripts/fuzz.sh [seconds]   (default 60)
# Crash inputs are kept in ${TMPDIR:-/tmp}/jzon-fuzz-artifacts/.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ not found, nothing fuzzed"
  exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
artifacts="${TMPDIR:-/tmp}/jzon-fuzz-artifacts/"
mkdir -p "$artifacts" "$work/corpus"

clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/json" "$root/tests/fuzz/jzon_fuzz.cpp" "$root"/json/*.cpp -o "$work/jzon_fuzz"

# New inputs land in the copy, never in the repository.
cp "$root"/tests/fuzz/corpus/* "$work/corpus/"
"$work/jzon_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -artifact_prefix="$artifacts" -print_final_stats=1 "$work/corpus"
echo "fuzz.sh: no failure in ${seconds} s"
