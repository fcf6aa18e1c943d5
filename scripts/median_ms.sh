# Sourced by the benchmark scripts.
# median_ms RUNS COMMAND...: the median wall time of RUNS runs of COMMAND
# (output discarded, failures ignored), in milliseconds.
median_ms() {
  local runs=$1 i t0 t1
  shift
  for i in $(seq "$runs"); do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000))
  done | sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }'
}
