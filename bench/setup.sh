# The start that every benchmark script shares. Source it with `root` set to
# the project's top, then call: bench_setup NAME [BUILD_DIR] [RUNS].
# Sets `build` (default build/native), `runs` (default 15), `build_type` and
# `work`: a directory in the build tree, removed on exit, whose bin/ holds a
# private copy of the host tool and the plug-in.

# Prints the build type of the tree BUILD_DIR (as CMake keeps it), and warns
# on stderr when that build is not an optimised one: timings of a build that
# is not optimised, or that carries sanitizers, say nothing about speed.
build_type_of() {
  local cache=$1/CMakeCache.txt type sanitized
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$cache" 2>/dev/null || true)
  sanitized=$(sed -n 's/^DOVED_SANITIZE:[A-Z]*=//p' "$cache" 2>/dev/null || true)
  case "$type" in
    Release | RelWithDebInfo | MinSizeRel) ;;
    *) echo "warning: $1 is a '${type:-unknown}' build, not an optimised one" >&2 ;;
  esac
  [ "$sanitized" != ON ] || echo "warning: $1 is built with sanitizers" >&2
  echo "${type:-unknown}"
}

bench_setup() {
  local name=$1 file
  build=$(cd "${2:-$root/build/native}" && pwd)
  runs=${3:-15}
  for file in "$build/bin/doved" "$build/bin/Doved.wcx" "$build/bin/make_tap"; do
    [ -f "$file" ] || { echo "missing $file: build the targets doved, doved_plugin and make_tap first" >&2; exit 2; }
  done
  build_type=$(build_type_of "$build")
  work=$(mktemp -d "$build/$name-bench-XXXXXX")
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/bin"
  cp "$build/bin/doved" "$build/bin/Doved.wcx" "$work/bin/"
  make_tap=$build/bin/make_tap
}
