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

# peak_mb COMMAND...: the peak resident memory of one run of COMMAND (its
# output discarded), in megabytes.
peak_mb() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'; }
