// A view is a private copy of the file's first bytes in anonymous memory,
// not a mapping of the file: a mapping of a file that another program then
// truncates faults (SIGBUS) on every page past the new end, and one that
// another program rewrites changes under its reader. A copy stays as it was
// read. Nothing ever writes through a view, so the access makes no difference.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "os/posix/descriptor.h"
#include "os/posix/methods.h"

namespace os::posix {
namespace {

// The largest piece that one pread takes whole.
constexpr std::uint64_t Piece = 1u << 30;

}  // namespace

bool MapView(File* file, Access, std::uint64_t size, View* view) {
  if (size == 0 || size > SIZE_MAX) return false;
  const int fd = DescriptorOf(file);
  // Populated at once: one pass over the pages instead of a fault for each.
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (memory == MAP_FAILED) return false;
  posix_fadvise(fd, 0, static_cast<off_t>(size), POSIX_FADV_SEQUENTIAL);
  auto* bytes = static_cast<std::uint8_t*>(memory);
  std::uint64_t got = 0;
  while (got < size) {
    const std::uint64_t want = size - got < Piece ? size - got : Piece;
    const ssize_t n = pread(fd, bytes + got, want, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {  // an error, or the file is shorter than the view
      munmap(memory, size);
      return false;
    }
    got += static_cast<std::uint64_t>(n);
  }
  // A stray write through the view faults at once instead of going unseen.
  mprotect(memory, size, PROT_READ);
  *view = {bytes, size, memory};
  return true;
}

bool UnmapView(View* view) {
  const bool ok = view->system != nullptr && munmap(view->system, view->size) == 0;
  *view = {};
  return ok;
}

}  // namespace os::posix
