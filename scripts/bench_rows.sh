# Sourced by the benchmark scripts that set $tmp (a scratch folder) and
# $runs: a row comparing two commands, their runs alternating.
# measure FILE COMMAND...: one run's wall ms (to the millisecond, where
# time(1) gives hundredths), CPU ms and peak kB, added to FILE.
measure() {
  local file=$1 t0 t1
  shift
  t0=$(date +%s%N)
  /usr/bin/time -f "%U %S %M" -o "$file.time" "$@" >/dev/null 2>&1 || true
  t1=$(date +%s%N)
  awk -v wall=$(((t1 - t0) / 1000000)) '{ printf "%d %d %d\n", wall, ($1 + $2) * 1000, $3 }' \
    "$file.time" >>"$file"
}
# median COLUMN FILE: the median of a column measure wrote.
median() { cut -d' ' -f"$1" "$2" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# The heads of the columns row prints.
row_heads() {
  printf "%-9s %-17s %21s   %-21s %21s %7s %7s\n" "" "ours" "wall/cpu ms, MB" "baseline" \
    "wall/cpu ms, MB" "wall" "cpu"
}
# row NAME LABEL BASELINE_LABEL -- OURS... -- BASELINE...
row() {
  local name=$1 ours_label=$2 base_label=$3 ours=() base=() i side
  shift 4
  while [ "$1" != -- ]; do ours+=("$1"); shift; done
  shift
  base=("$@")
  # Runs alternate, so that a load coming and going weighs on both alike.
  for i in $(seq "$runs"); do
    measure "$tmp/$name-ours" "${ours[@]}"
    measure "$tmp/$name-base" "${base[@]}"
  done
  local figures=()
  for side in ours base; do
    figures+=("$(median 1 "$tmp/$name-$side")" "$(median 2 "$tmp/$name-$side")"
              "$(median 3 "$tmp/$name-$side" | awk '{ printf "%.1f", $1 / 1024 }')")
  done
  printf "%-9s %-17s %6s/%6s, %6s   %-21s %6s/%6s, %6s %6.2fx %6.2fx\n" "$name" "$ours_label" \
    "${figures[0]}" "${figures[1]}" "${figures[2]}" "$base_label" "${figures[3]}" "${figures[4]}" \
    "${figures[5]}" "$(awk -v a="${figures[0]}" -v b="${figures[3]}" 'BEGIN { print a / b }')" \
    "$(awk -v a="${figures[1]}" -v b="${figures[4]}" 'BEGIN { print a / b }')"
}
