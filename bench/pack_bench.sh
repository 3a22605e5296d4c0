#!/usr/bin/env bash
# Packing 10000 files of 1 KB from one directory into a new TAP image through
# the host tool, against `tar -cf` of the same files into the same directory
# (so on the same disk). Both read every file and write one archive; neither
# syncs. Prints the medians and their ratio; the target is at most 1.0.
#
# Usage: bench/pack_bench.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  an optimised build tree holding bin/doved and bin/Doved.wcx
#              (default build/native, the native preset: RelWithDebInfo, -O2);
#              the asan preset's Debug build says nothing about speed
#   RUNS       timed runs of each command (default 15)
# Uses hyperfine when it is installed, else a plain timing loop.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/setup.sh"
bench_setup pack "$@"  # the plug-in keeps its default settings
mkdir "$work/files"

# f00000.C to f09999.C, 1024 random bytes each.
python3 - "$work/files" <<'PY'
import os, random, sys
rng = random.Random(1982)
for i in range(10000):
    with open(os.path.join(sys.argv[1], 'f%05d.C' % i), 'wb') as out:
        out.write(rng.randbytes(1024))
PY

cd "$work/files"
pack_prepare='rm -f ../image.tap'
pack_command='../bin/doved pack ../image.tap *.C'
tar_prepare='rm -f ../files.tar'
tar_command='tar -cf ../files.tar *.C'

# Check the pack once: 10000 headers of 21 bytes and data blocks of 1028.
bash -c "$pack_prepare; $pack_command" >/dev/null
[ "$(stat -c %s ../image.tap)" -eq $((10000 * (21 + 1028))) ] || { echo "the image has not the expected size" >&2; exit 1; }

source "$root/bench/timing.sh"
pack_median=$(median_seconds "$pack_prepare" "$pack_command")
tar_median=$(median_seconds "$tar_prepare" "$tar_command")

printf 'build: %s (%s)\n' "$build" "$build_type"
printf '10000 files of 1024 bytes, %d runs each, load average %s\n' "$runs" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'pack (bin/doved pack image.tap *.C): median %s ms\n' "$(milliseconds "$pack_median")"
printf 'tar (tar -cf files.tar *.C): median %s ms\n' "$(milliseconds "$tar_median")"
awk -v p="$pack_median" -v t="$tar_median" 'BEGIN {
  printf "ratio pack / tar: %.2f (target: at most 1.00)\n", p / t
  exit p / t <= 1.0 ? 0 : 1
}'
