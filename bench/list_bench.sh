#!/usr/bin/env bash
# Listing a 100000-entry TAP image through the host tool (the whole listing:
# load the plug-in, open, scan, name, count duplicates, print every entry),
# against listing the same image with tzxlist from fuse-emulator-utils; then
# the same entries as a TZX image (tapeconv's conversion), against the TAP.
# Prints the medians and doved's peak resident memory; the targets are at
# most 25 ms and at most 16 MiB for the TAP, and at most 1.2 times the TAP's
# time for the TZX.
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
for tool in tzxlist tapeconv; do
  command -v "$tool" >/dev/null || { echo "$tool (fuse-emulator-utils) is needed" >&2; exit 2; }
done
# Numbering stops at 256 entries; with it off, names repeat and get duplicate marks.
printf '[Doved]\nFileNameNumbering=0\n' >"$work/bin/Doved.cfg"

# 100000 entries: code files with small data blocks, 5000 distinct names.
"$make_tap" many-entries "$work/image.tap"
tapeconv "$work/image.tap" "$work/image.tzx"
touch -r "$work/image.tap" "$work/image.tzx"

source "$root/bench/timing.sh"

entries=$("$work/bin/doved" list "$work/image.tap" | tail -1)
echo "build: $build ($build_type)"
echo "image: $(stat -c %s "$work/image.tap") bytes; doved says: $entries"
doved=$(median_seconds "" "'$work/bin/doved' list '$work/image.tap'")
tzxlist=$(median_seconds "" "tzxlist '$work/image.tap'")
tzx_entries=$("$work/bin/doved" list "$work/image.tzx" | tail -1)
# The same entries and unpacked total; only the packed total differs.
[ "$(awk '{ print $1, $3 }' <<<"$tzx_entries")" = "$(awk '{ print $1, $3 }' <<<"$entries")" ] ||
  { echo "the TZX image lists other entries than the TAP: $tzx_entries" >&2; exit 1; }
# The two listings in turns (two runs each to warm up first), so that the
# other load on the machine weighs on both alike.
read -r doved_tap doved_tzx < <(median_seconds_in_turns "'$work/bin/doved' list '$work/image.tap'" \
  "'$work/bin/doved' list '$work/image.tzx'")
# The largest resident set of any process of the run, in KiB, as GNU time reports it.
peak=$(/usr/bin/time -f %M "$work/bin/doved" list "$work/image.tap" 2>&1 >/dev/null | tail -1)
echo "TZX image: $(stat -c %s "$work/image.tzx") bytes; doved says: $tzx_entries"
echo "median of $runs runs: doved list $(milliseconds "$doved") ms, tzxlist $(milliseconds "$tzxlist") ms"
echo "median of $runs runs in turns: doved list of the TAP $(milliseconds "$doved_tap") ms, of the TZX" \
  "$(milliseconds "$doved_tzx") ms"
awk -v d="$doved" -v p="$peak" -v a="$doved_tap" -v z="$doved_tzx" 'BEGIN {
  printf "doved list: %.1f ms (target: at most 25 ms), peak %.1f MiB (target: at most 16 MiB)\n", d * 1000, p / 1024
  printf "doved list of the TZX: %.2f times the TAP (target: at most 1.2)\n", z / a
  exit d <= 0.025 && p <= 16 * 1024 && z <= 1.2 * a ? 0 : 1
}'
