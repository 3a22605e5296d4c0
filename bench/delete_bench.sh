#!/usr/bin/env bash
# Deleting the first entry of a 30 MB TAP image through the host tool, against
# copying the same image with `dd bs=1M conv=fsync` in the same directory (so
# on the same disk). Both end with the new file's data on stable storage. The
# target is at most 1.2 times the copy into a new file. A delete also frees
# the old image, which takes the file system a while; the copy over the
# previous copy, whose truncation frees as much, is shown beside it.
#
# Usage: bench/delete_bench.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a build tree holding bin/doved and bin/Doved.wcx (default build/native)
#   RUNS       timed runs of each command (default 15)
# Uses hyperfine when it is installed, else a plain timing loop.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/setup.sh"
bench_setup delete "$@"
# Numbering off: a numbered listing stops at 256 entries and this image has 484.
printf '[Doved]\nFileNameNumbering=0\n' >"$work/bin/Doved.cfg"

# 484 code files of 65000 bytes each, named b00000 to b00483: 31,472,100 bytes.
"$make_tap" large "$work/master.tap"
size=$(stat -c %s "$work/master.tap")

cd "$work"
delete_prepare='cp master.tap image.tap && sync'
delete_command='bin/doved delete image.tap b00000.C'
copy_prepare='rm -f copy.tap && sync'
copy_over_prepare='cp master.tap copy.tap && sync'
copy_command='dd if=master.tap of=copy.tap bs=1M conv=fsync status=none'

# Check the delete once: it must succeed and cut exactly the first entry (65025 bytes).
eval "$delete_prepare"
eval "$delete_command" >/dev/null
[ "$(stat -c %s image.tap)" -eq $((size - 65025)) ] || { echo "the delete did not cut the first entry" >&2; exit 1; }
cmp -s image.tap <(tail -c +65026 master.tap) || { echo "the image after the delete differs from the expected bytes" >&2; exit 1; }

source "$root/bench/timing.sh"
delete_median=$(median_seconds "$delete_prepare" "$delete_command")
copy_median=$(median_seconds "$copy_prepare" "$copy_command")
copy_over_median=$(median_seconds "$copy_over_prepare" "$copy_command")

printf 'build: %s (%s)\n' "$build" "$build_type"
printf 'image: %d bytes, %d runs each, load average %s\n' "$size" "$runs" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'delete first entry (%s): median %s ms\n' "$delete_command" "$(milliseconds "$delete_median")"
printf 'copy into a new file (%s): median %s ms\n' "$copy_command" "$(milliseconds "$copy_median")"
printf 'copy over the previous copy (the same): median %s ms\n' "$(milliseconds "$copy_over_median")"
awk -v d="$delete_median" -v c="$copy_median" -v o="$copy_over_median" 'BEGIN {
  printf "ratio delete / copy into a new file: %.2f (target: at most 1.20)\n", d / c
  printf "ratio delete / copy over the previous copy: %.2f\n", d / o
  exit d / c <= 1.2 ? 0 : 1
}'
