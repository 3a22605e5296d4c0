// The one way the plug-in reaches files: open, map or read, write, close, and
// delete the file again when the work on it failed. An all-zero object is
// closed.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "platform/windows_api.h"

inline constexpr std::uint64_t NoSizeLimit = UINT64_MAX;

class ImageFile {
 public:
  UINT_PTR fileHandle;  // complemented, so that zero means no file
  bool created;
  std::uint64_t size;
  HANDLE mapping;  // 1 marks the stand-by mapping of an empty file
  void* view;      // 1 together with mapping 1
  std::uint64_t mappedSize;
  char* pathCopy;
  bool deleteOnFailure;
  bool isOpen;

  Status Open(const char* path, bool writable, DWORD disposition, bool map, std::uint64_t maximumSize,
              const Status& tooLarge, bool deleteOnFailureFlag);
  Status Close(bool success);
  bool Map(bool writable);
  bool Unmap();
  bool QuerySize(std::uint64_t& out);
  // Exactly `count` bytes from the file position; false at the end of the file.
  bool Read(void* bytes, std::uint64_t count);
  bool Write(const void* bytes, std::uint64_t count);
  bool SeekEnd();
  bool Truncate(std::uint64_t length);
  void Destroy();

  HANDLE Handle() const { return reinterpret_cast<HANDLE>(~fileHandle); }
  bool HasFile() const { return Handle() != INVALID_HANDLE_VALUE; }
  const std::uint8_t* Bytes() const { return static_cast<const std::uint8_t*>(view); }
};
