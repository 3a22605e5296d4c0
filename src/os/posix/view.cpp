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

// A large view lies in huge pages where the system gives them: a thirtieth
// of the faults and page-table work of small pages to fill it, and almost
// none to drop it. It is rounded up to whole huge pages, which costs at most
// one huge page more than the file; smaller views keep small pages.
constexpr std::uint64_t HugePage = 2u << 20;
constexpr std::uint64_t HugeViewFrom = 4 * HugePage;

std::uint64_t MappedLength(std::uint64_t size) {
  return size < HugeViewFrom ? size : (size + HugePage - 1) / HugePage * HugePage;
}

// Anonymous memory of `length` bytes; a huge one starts on a huge page.
void* MapMemory(std::uint64_t length) {
  if (length < HugeViewFrom) {
    // Populated at once: one pass over the pages instead of a fault for each.
    void* memory = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return memory == MAP_FAILED ? nullptr : memory;
  }
  const std::uint64_t slack = HugePage - static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  void* raw = mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + HugePage - 1) & ~static_cast<std::uintptr_t>(HugePage - 1);
  if (aligned != start) munmap(raw, aligned - start);
  if (start + slack != aligned) munmap(reinterpret_cast<void*>(aligned + length), start + slack - aligned);
  void* memory = reinterpret_cast<void*>(aligned);
  madvise(memory, length, MADV_HUGEPAGE);  // advice: without huge pages the view still works
  return memory;
}

}  // namespace

bool MapView(File* file, Access, std::uint64_t size, View* view) {
  if (size == 0 || size > SIZE_MAX) return false;
  const int fd = DescriptorOf(file);
  const std::uint64_t length = MappedLength(size);
  void* memory = MapMemory(length);
  if (memory == nullptr) return false;
  posix_fadvise(fd, 0, static_cast<off_t>(size), POSIX_FADV_SEQUENTIAL);
  auto* bytes = static_cast<std::uint8_t*>(memory);
  std::uint64_t got = 0;
  while (got < size) {
    const std::uint64_t want = size - got < Piece ? size - got : Piece;
    const ssize_t n = pread(fd, bytes + got, want, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {  // an error, or the file is shorter than the view
      munmap(memory, length);
      return false;
    }
    got += static_cast<std::uint64_t>(n);
  }
  // A stray write through the view faults at once instead of going unseen.
  mprotect(memory, length, PROT_READ);
  *view = {bytes, size, memory};
  return true;
}

bool UnmapView(View* view) {
  const bool ok = view->system != nullptr && munmap(view->system, MappedLength(view->size)) == 0;
  *view = {};
  return ok;
}

}  // namespace os::posix
