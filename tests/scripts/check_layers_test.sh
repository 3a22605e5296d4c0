#!/usr/bin/env bash
# scripts/check-layers passes a clean tree and fails on each kind of fault,
# planted one at a time in a scratch git repository, for the right reason.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Usage: expect NAME MESSAGE COMMAND: COMMAND plants the fault in a fresh
# tree; an empty MESSAGE means the check must pass.
status=0
expect() {
  local repo=$scratch/$1 message=$2 code=0
  mkdir -p "$repo/scripts" "$repo/src/os" "$repo/src/tape" "$repo/src/plugin"
  cp "$script" "$repo/scripts/"
  printf '#pragma once\n' >"$repo/src/os/os.h"
  printf '#pragma once\n#include "os/os.h"\n' >"$repo/src/tape/a.h"
  printf '#pragma once\n#include <cstdio>\n#include "tape/a.h"\n' >"$repo/src/tape/b.h"
  printf '#pragma once\n' >"$repo/src/plugin/entry_walk.h"
  git -C "$repo" init -q && git -C "$repo" add .
  (cd "$repo" && eval "$3")
  "$repo/scripts/check-layers" >/dev/null 2>"$repo.err" || code=$?
  if [ -z "$message" ] && [ "$code" -ne 0 ]; then
    echo "FAIL $1: a clean tree fails: $(cat "$repo.err")" >&2
    status=1
  elif [ -n "$message" ] && { [ "$code" -eq 0 ] || ! grep -q "$message" "$repo.err"; }; then
    echo "FAIL $1: expected \"$message\", exit $code: $(cat "$repo.err")" >&2
    status=1
  fi
}

expect clean '' ':'
expect angle_brackets 'tape/a.h includes "plugin/entry_walk.h"' 'echo "#include <plugin/entry_walk.h>" >>src/tape/a.h'
expect untracked 'tape/new.cpp includes "plugin/entry_walk.h"' 'echo "#include \"plugin/entry_walk.h\"" >src/tape/new.cpp'
expect under_src 'src/stray.cpp lies in no layer' 'touch src/stray.cpp'
expect cycle 'in a cycle' 'echo "#include \"tape/b.h\"" >>src/tape/a.h'
exit $status
