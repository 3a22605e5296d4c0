#!/usr/bin/env bash
# Deleting the first entry of a 30 MB TAP image through the host tool, against
# copying the same image with `dd conv=fsync` in the same directory (so on the
# same disk). Both end with the new file's data on stable storage. The copy is
# timed twice: as `dd conv=fsync` (dd's default 512-byte blocks), which the
# delete should not exceed 1.3 times, and with 1 MiB blocks, the fastest copy
# dd makes, shown for comparison. Prints the medians and the ratios.
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
copy_command='dd if=master.tap of=copy.tap conv=fsync status=none'
big_copy_command='dd if=master.tap of=copy.tap bs=1M conv=fsync status=none'

# Check the delete once: it must succeed and cut exactly the first entry (65025 bytes).
eval "$delete_prepare"
eval "$delete_command" >/dev/null
[ "$(stat -c %s image.tap)" -eq $((size - 65025)) ] || { echo "the delete did not cut the first entry" >&2; exit 1; }
cmp -s image.tap <(tail -c +65026 master.tap) || { echo "the image after the delete differs from the expected bytes" >&2; exit 1; }

source "$root/bench/timing.sh"
delete_median=$(median_seconds "$delete_prepare" "$delete_command")
copy_median=$(median_seconds "$copy_prepare" "$copy_command")
big_copy_median=$(median_seconds "$copy_prepare" "$big_copy_command")

printf 'image: %d bytes, %d runs each, load average %s\n' "$size" "$runs" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'delete first entry (%s): median %s ms\n' "$delete_command" "$(milliseconds "$delete_median")"
printf 'copy (%s): median %s ms\n' "$copy_command" "$(milliseconds "$copy_median")"
printf 'copy (%s): median %s ms\n' "$big_copy_command" "$(milliseconds "$big_copy_median")"
awk -v d="$delete_median" -v c="$copy_median" -v b="$big_copy_median" 'BEGIN {
  printf "ratio delete / dd conv=fsync: %.2f (target: at most 1.30)\n", d / c
  printf "ratio delete / dd bs=1M conv=fsync: %.2f\n", d / b
  exit d / c <= 1.3 ? 0 : 1
}'
