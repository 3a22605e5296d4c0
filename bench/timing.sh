# Timing shared by the benchmarks; source it after setting `runs`.

# The median wall time, in seconds, of `runs` runs of COMMAND, each run after
# PREPARE (both shell text). Uses hyperfine when it is installed, else a loop.
median_seconds() {
  local prepare=$1 command=$2
  if command -v hyperfine >/dev/null; then
    local json
    json=$(mktemp)
    hyperfine --style basic --shell bash --warmup 2 --runs "$runs" --export-json "$json" \
      --prepare "${prepare:-true}" "$command" >&2
    python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' "$json"
    rm -f "$json"
  else
    for ((i = 0; i < runs; i++)); do
      eval "$prepare"
      local start
      start=$(date +%s%N)
      eval "$command" >/dev/null
      echo "$(($(date +%s%N) - start))"
    done | sort -n | awk '{ v[NR] = $1 } END { print ((NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) / 1e9 }'
  fi
}

milliseconds() { awk -v t="$1" 'BEGIN { printf "%.1f", t * 1000 }'; }
