// The objects behind file and mapping HANDLE values. Handle values are small
// multiples of four far from null, INVALID_HANDLE_VALUE and the stand-by
// mark 1, so none of them is ever mistaken for another.
//
// A mapping shares the descriptor of the file that it maps, as a Windows
// section keeps its file object: the descriptor (with its share lock) stays
// open until the last handle that holds it is closed.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>

#include "platform/posix/types.h"

namespace posix_files {

enum class HandleKind : std::uint8_t { File, Mapping };

struct HandleObject {
  HandleKind kind;
  int fd;         // a mapping holds its file's descriptor
  bool writable;  // file opened with GENERIC_WRITE, or mapping made PAGE_READWRITE
  std::uint64_t size;  // mapping: the bytes it covers; file opened read-only: its length
  dev_t device;        // mapping: the file it maps
  ino_t inode;
  // file: its birth time, read at open (it never changes), where the file
  // system keeps one
  bool hasBirthTime = false;
  statx_timestamp birthTime{};
};

// Null, with ERROR_NOT_ENOUGH_MEMORY, when the table cannot grow.
HANDLE AddHandle(const HandleObject& object);
// Adds a mapping whose descriptor is that of `file`. Null, with
// ERROR_INVALID_HANDLE, when `file` is no longer an open file with that
// descriptor, or as AddHandle.
HANDLE AddMapping(HANDLE file, const HandleObject& mapping);
// False, with ERROR_INVALID_HANDLE, when `handle` is not an open one of `kind`.
bool FindHandle(HANDLE handle, HandleKind kind, HandleObject& out);
// Takes the object out of the table; false, with ERROR_INVALID_HANDLE, when
// there is none. `lastUser` tells that no other handle holds its descriptor,
// which the caller is then to close.
bool RemoveHandle(HANDLE handle, HandleObject& out, bool& lastUser);

}  // namespace posix_files
