# Which build a benchmark times; source it. Timings of a build that is not
# optimised, or that carries sanitizers, say nothing about speed.

# Prints the build type of the tree BUILD_DIR (as CMake keeps it), and warns
# on stderr when that build is not an optimised one.
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
