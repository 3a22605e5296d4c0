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

# The median wall times, in seconds, of COMMAND_A and COMMAND_B (shell text),
# run `runs` times each, one after the other in turns, so that what else the
# machine does weighs on both alike. Prints both on one line.
median_seconds_in_turns() {
  local a=$1 b=$2 i start
  for ((i = 0; i < runs + 2; i++)); do
    start=$(date +%s%N)
    eval "$a" >/dev/null
    echo "a $(($(date +%s%N) - start)) $i"
    start=$(date +%s%N)
    eval "$b" >/dev/null
    echo "b $(($(date +%s%N) - start)) $i"
  done | awk '$3 >= 2 { print $1, $2 }' | sort -k1,1 -k2,2n | awk '{ v[$1, ++n[$1]] = $2 } END {
    for (k in n) { c = n[k]; m[k] = ((c % 2) ? v[k, (c + 1) / 2] : (v[k, c / 2] + v[k, c / 2 + 1]) / 2) / 1e9 }
    print m["a"], m["b"] }'
}
