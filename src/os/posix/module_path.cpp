// The path of the library (or program) that holds an address, whole, as
// GetModuleFileNameA gives it.
#include <dlfcn.h>
#include <link.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>

#include "os/posix/methods.h"
#include "os/posix/paths.h"

namespace os::posix {
namespace {

bool ProgramPath(char* out) {
  const ssize_t length = readlink("/proc/self/exe", out, PathCapacity - 1);
  if (length <= 0) return false;
  out[length] = '\0';
  return true;
}

// The loader keeps a library's path as it was loaded, which may be relative;
// the program itself has no name there. A null address stands for the
// program, as a null module handle does on Windows.
bool FullPathOf(const void* address, char* out) {
  if (address == nullptr) return ProgramPath(out);
  Dl_info info;
  link_map* map = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || map == nullptr) return false;
  const char* name = map->l_name;
  if (name == nullptr || *name == '\0') return ProgramPath(out);
  if (*name == '/') {
    if (std::strlen(name) >= PathCapacity) return false;
    std::strcpy(out, name);
    return true;
  }
  return realpath(name, out) != nullptr;
}

}  // namespace

// The length copied; a path that does not fit is cut to size - 1 characters
// and `size` is returned.
std::uint32_t ModulePath(const void* module, char* out, std::uint32_t size) {
  char path[PathCapacity];
  if (size == 0 || !FullPathOf(module, path)) return 0;
  const std::size_t length = std::strlen(path);
  if (length >= size) {
    std::memcpy(out, path, size - 1);
    out[size - 1] = '\0';
    return size;
  }
  std::memcpy(out, path, length + 1);
  return static_cast<std::uint32_t>(length);
}

}  // namespace os::posix
