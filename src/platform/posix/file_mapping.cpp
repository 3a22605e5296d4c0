// File mappings on mmap: a mapping object records what a view needs (its
// file's descriptor, the protection and the size); each view is one mmap.
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <new>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/files.h"
#include "platform/posix/handle_table.h"
#include "platform/posix/mapped_files.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks.h"

namespace {

using platform_test::Fault;

// Offsets of views are multiples of the Windows allocation granularity.
constexpr std::uint64_t AllocationGranularity = 0x10000;

struct View {
  std::size_t length;
  dev_t device;
  ino_t inode;
};

std::mutex viewMutex;
std::map<const void*, View> views;

template <typename T>
T* Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

bool RegisterView(void* address, const View& view) {
  std::lock_guard lock(viewMutex);
  try {
    views.emplace(address, view);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool UnregisterView(const void* address, View& view) {
  std::lock_guard lock(viewMutex);
  const auto found = views.find(address);
  if (found == views.end()) return false;
  view = found->second;
  views.erase(found);
  return true;
}

}  // namespace

HANDLE CreateFileMappingA(HANDLE handle, LPSECURITY_ATTRIBUTES, DWORD protection, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR name) {
  if (platform_test::ShouldFail(Fault::CreateFileMapping)) return Fail<void>(ERROR_ACCESS_DENIED);
  if (name != nullptr || maximumSizeHigh != 0 || maximumSizeLow != 0) return Fail<void>(ERROR_INVALID_PARAMETER);
  if (protection != PAGE_READONLY && protection != PAGE_READWRITE) return Fail<void>(ERROR_INVALID_PARAMETER);
  posix_files::HandleObject file{};
  if (!posix_files::FindHandle(handle, posix_files::HandleKind::File, file)) return nullptr;
  const bool writable = protection == PAGE_READWRITE;
  if (writable && !file.writable) return Fail<void>(ERROR_ACCESS_DENIED);
  struct stat status {};
  if (fstat(file.fd, &status) != 0) return Fail<void>(posix_files::ErrorFromErrno(errno));
  if (status.st_size == 0) return Fail<void>(ERROR_FILE_INVALID);

  if (!posix_files::NoteMapped(status.st_dev, status.st_ino)) return Fail<void>(ERROR_NOT_ENOUGH_MEMORY);
  const HANDLE mapping = posix_files::AddMapping(handle, {posix_files::HandleKind::Mapping, file.fd, writable,
                                                          static_cast<std::uint64_t>(status.st_size), status.st_dev,
                                                          status.st_ino});
  if (mapping == nullptr) posix_files::NoteUnmapped(status.st_dev, status.st_ino);
  return mapping;
}

LPVOID MapViewOfFile(HANDLE handle, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
  if (platform_test::ShouldFail(Fault::MapViewOfFile)) return Fail<void>(ERROR_NOT_ENOUGH_MEMORY);
  posix_files::HandleObject mapping{};
  if (!posix_files::FindHandle(handle, posix_files::HandleKind::Mapping, mapping)) return nullptr;
  const bool writes = (access & FILE_MAP_WRITE) != 0;
  if (!writes && (access & FILE_MAP_READ) == 0) return Fail<void>(ERROR_INVALID_PARAMETER);
  if (writes && !mapping.writable) return Fail<void>(ERROR_ACCESS_DENIED);
  const std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
  if (offset % AllocationGranularity != 0) return Fail<void>(ERROR_MAPPED_ALIGNMENT);
  if (offset >= mapping.size || bytes > mapping.size - offset) return Fail<void>(ERROR_ACCESS_DENIED);
  const std::size_t length = bytes != 0 ? bytes : static_cast<std::size_t>(mapping.size - offset);

  void* address = mmap(nullptr, length, writes ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, mapping.fd,
                       static_cast<off_t>(offset));
  if (address == MAP_FAILED) return Fail<void>(posix_files::ErrorFromErrno(errno));
  if (!posix_files::NoteMapped(mapping.device, mapping.inode)) {
    munmap(address, length);
    return Fail<void>(ERROR_NOT_ENOUGH_MEMORY);
  }
  if (!RegisterView(address, {length, mapping.device, mapping.inode})) {
    posix_files::NoteUnmapped(mapping.device, mapping.inode);
    munmap(address, length);
    return Fail<void>(ERROR_NOT_ENOUGH_MEMORY);
  }
  return address;
}

BOOL UnmapViewOfFile(LPCVOID address) {
  if (platform_test::ShouldFail(Fault::UnmapViewOfFile)) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  View view{};
  if (!UnregisterView(address, view)) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  posix_files::NoteUnmapped(view.device, view.inode);
  munmap(const_cast<void*>(address), view.length);
  return TRUE;
}
