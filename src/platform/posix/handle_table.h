// The objects behind file and mapping HANDLE values. Handle values are small
// multiples of four far from null, INVALID_HANDLE_VALUE and the stand-by
// mark 1, so none of them is ever mistaken for another.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include "platform/posix/types.h"

namespace posix_files {

enum class HandleKind : std::uint8_t { File, Mapping };

struct HandleObject {
  HandleKind kind;
  int fd;         // a mapping holds a duplicate of its file's descriptor
  bool writable;  // file opened with GENERIC_WRITE, or mapping made PAGE_READWRITE
  std::uint64_t size;  // mapping: the bytes it covers
  dev_t device;        // mapping: the file it maps
  ino_t inode;
};

// Null, with ERROR_NOT_ENOUGH_MEMORY, when the table cannot grow.
HANDLE AddHandle(const HandleObject& object);
// False, with ERROR_INVALID_HANDLE, when `handle` is not an open one of `kind`.
bool FindHandle(HANDLE handle, HandleKind kind, HandleObject& out);
// Takes the object out of the table; false, with ERROR_INVALID_HANDLE, when there is none.
bool RemoveHandle(HANDLE handle, HandleObject& out);

}  // namespace posix_files
