// The one way the plug-in reaches files: open, map or read, write, close, and
// delete the file again when the work on it failed. An all-zero object is
// closed, and destroying an object closes what it still holds, deleting the
// file when it was marked for deletion on failure.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "platform/windows_api.h"

inline constexpr std::uint64_t NoSizeLimit = UINT64_MAX;

enum class FileAccess : std::uint8_t { Read, ReadWrite };
enum class FileView : std::uint8_t { None, Mapped };
enum class OnFailure : std::uint8_t { Keep, Delete };
enum class CloseAs : std::uint8_t { Success, Failure };

// How a file is opened. A file opened for reading shares reading with others;
// one opened for writing is shared with nobody.
struct FileOptions {
  FileAccess access = FileAccess::Read;
  DWORD disposition = OPEN_EXISTING;
  FileView view = FileView::None;
  std::uint64_t maximumSize = NoSizeLimit;
  Status tooLarge = StatusFailed;  // the result for a file over maximumSize
  OnFailure onFailure = OnFailure::Keep;  // what Close(CloseAs::Failure) does with the file
};

class ImageFile {
 public:
  UINT_PTR fileHandle = 0;  // complemented, so that zero means no file
  bool created = false;     // the last Open made the file
  std::uint64_t size = 0;   // the length read at open; writes leave it
  HANDLE mapping = nullptr;  // 1 marks the stand-by mapping of an empty file
  void* view = nullptr;      // 1 together with mapping 1
  std::uint64_t mappedSize = 0;
  char* pathCopy = nullptr;
  bool deleteOnFailure = false;
  bool isOpen = false;

  ImageFile() = default;
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;
  ~ImageFile() { Destroy(); }

  Status Open(const char* path, const FileOptions& options);
  // CloseAs::Failure deletes a file opened with OnFailure::Delete.
  Status Close(CloseAs outcome);
  // Closes a file that its owner gives up right after opening it: deletes it
  // only when this open made it and it is marked for deletion.
  Status Abandon() { return Close(created ? CloseAs::Failure : CloseAs::Success); }
  bool Map(FileAccess access);
  bool Unmap();
  bool QuerySize(std::uint64_t& out);
  // Exactly `count` bytes from the file position; false at the end of the file.
  bool Read(void* bytes, std::uint64_t count);
  bool Write(const void* bytes, std::uint64_t count);
  bool SeekEnd();
  bool Truncate(std::uint64_t length);
  // Writes what the system still holds of the file to its disk.
  bool Flush();
  // File times in 100 ns units since 1601 (UTC); 0 stands for none. A null
  // out-pointer is not read; SetTimes leaves a time of 0 as it is.
  bool GetTimes(std::uint64_t* creation, std::uint64_t* lastWrite);
  bool SetTimes(std::uint64_t creation, std::uint64_t lastWrite);
  // Closes after a failure when still open, then frees the path.
  void Destroy();

  HANDLE Handle() const { return reinterpret_cast<HANDLE>(~fileHandle); }
  bool HasFile() const { return Handle() != INVALID_HANDLE_VALUE; }
  const std::uint8_t* Bytes() const { return static_cast<const std::uint8_t*>(view); }
};
