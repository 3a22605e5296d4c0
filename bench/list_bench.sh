#!/usr/bin/env bash
# Listing a 100000-entry TAP image through the host tool (the whole listing:
# load the plug-in, open, scan, name, count duplicates, print every entry),
# against listing the same image with tzxlist from fuse-emulator-utils.
# Prints both medians and doved's peak resident memory; the targets are at
# most 25 ms and at most 16 MiB.
#
# Usage: bench/list_bench.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  an optimised build tree holding bin/doved and bin/Doved.wcx
#              (default build/native, the native preset: RelWithDebInfo, -O2);
#              the asan preset's Debug build says nothing about speed
#   RUNS       timed runs of each command (default 15)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/setup.sh"
bench_setup list "$@"
command -v tzxlist >/dev/null || { echo "tzxlist (fuse-emulator-utils) is needed" >&2; exit 2; }
# Numbering stops at 256 entries; with it off, names repeat and get duplicate marks.
printf '[Doved]\nFileNameNumbering=0\n' >"$work/bin/Doved.cfg"

# 100000 entries: code files with small data blocks, 5000 distinct names.
"$make_tap" many-entries "$work/image.tap"

source "$root/bench/timing.sh"

entries=$("$work/bin/doved" list "$work/image.tap" | tail -1)
echo "build: $build ($build_type)"
echo "image: $(stat -c %s "$work/image.tap") bytes; doved says: $entries"
doved=$(median_seconds "" "'$work/bin/doved' list '$work/image.tap'")
tzx=$(median_seconds "" "tzxlist '$work/image.tap'")
# The largest resident set of any process of the run, in KiB, as GNU time reports it.
peak=$(/usr/bin/time -f %M "$work/bin/doved" list "$work/image.tap" 2>&1 >/dev/null | tail -1)
echo "median of $runs runs: doved list $(milliseconds "$doved") ms, tzxlist $(milliseconds "$tzx") ms"
awk -v d="$doved" -v p="$peak" 'BEGIN {
  printf "doved list: %.1f ms (target: at most 25 ms), peak %.1f MiB (target: at most 16 MiB)\n", d * 1000, p / 1024
  exit d <= 0.025 && p <= 16 * 1024 ? 0 : 1
}'
