// The one way the plug-in reaches files: open, view or read, write, close,
// and delete the file again when the work on it failed. A new object holds
// nothing, and so does one that is closed; destroying an object closes what
// it still holds as after a failure, deleting the file when it is marked
// for deletion on failure.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "os/os.h"
#include "support/ansi_string.h"

inline constexpr std::uint64_t NoSizeLimit = UINT64_MAX;

using FileAccess = os::Access;
using Disposition = os::Disposition;
enum class FileView : std::uint8_t { None, Mapped };
enum class OnFailure : std::uint8_t { Keep, Delete };
enum class CloseAs : std::uint8_t { Success, Failure };

// How a file is opened. A file opened for reading shares reading with others;
// one opened for writing is shared with nobody.
struct FileOptions {
  FileAccess access = FileAccess::Read;
  Disposition disposition = Disposition::OpenExisting;
  FileView view = FileView::None;
  std::uint64_t maximumSize = NoSizeLimit;
  Status tooLarge = StatusFailed;  // the result for a file over maximumSize
  OnFailure onFailure = OnFailure::Keep;  // what Close(CloseAs::Failure) does with the file
};

class DiskFile {
 public:
  DiskFile() = default;
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;
  ~DiskFile() { Close(CloseAs::Failure); }

  Status Open(const char* path, const FileOptions& options);
  // CloseAs::Failure deletes a file opened with OnFailure::Delete.
  Status Close(CloseAs outcome);
  // Closes a file that its owner gives up right after opening it: deletes it
  // only when this open made it and it is marked for deletion.
  Status Abandon() { return Close(held_.created ? CloseAs::Failure : CloseAs::Success); }
  bool Map(FileAccess access);
  bool Unmap();
  bool QuerySize(std::uint64_t& out);
  // Exactly `count` bytes from the file position; false at the end of the file.
  bool Read(void* bytes, std::uint64_t count);
  bool Write(const void* bytes, std::uint64_t count);
  // Puts what the system still holds of the file on its disk.
  bool Flush();
  // File times in 100 ns units since 1601 (UTC); 0 stands for none. A null
  // out-pointer is not read; SetTimes leaves a time of 0 as it is.
  bool GetTimes(std::uint64_t* creation, std::uint64_t* lastWrite);
  bool SetTimes(std::uint64_t creation, std::uint64_t lastWrite);
  // From now on a close after a failure keeps the file: the work that could
  // fail with it deleted is done.
  void Keep() { held_.deleteOnFailure = false; }

  bool HasFile() const { return held_.file != nullptr; }
  // The last Open made the file.
  bool Created() const { return held_.created; }
  // The length read at open, or when viewed; writes leave it.
  std::uint64_t Size() const { return held_.size; }
  // The viewed bytes; null when not viewed, and for an empty file.
  const std::uint8_t* Bytes() const { return held_.view.bytes; }

  // Makes a new empty file for writing beside `besidePath` that has no name
  // yet; fails where the system makes none.
  Status CreateUnnamed(const char* besidePath);
  // Gives a file made by CreateUnnamed the name `path`, which must be new.
  bool GiveName(const char* path);
  // Gives this file the permissions and extended attributes of `other`.
  bool CopyMetadataFrom(const DiskFile& other);
  // Closes this file and puts the closed file at `replacement` in its place,
  // in one durable step; false, with this file closed all the same, when
  // that fails.
  bool GiveWayTo(const char* replacement);

  static bool Delete(const char* path);
  // Calls `found(context, rest)` for each file beside `prefix` whose name
  // begins as the last part of `prefix` does; false when the directory
  // cannot be read to its end.
  static bool FindNames(const char* prefix, void (*found)(void* context, const char* rest), void* context);
  // Puts the name of the file at `path` on its disk.
  static bool FlushName(const char* path);
  // The file that `path` names, through symbolic links.
  static Status ResolvePath(const char* path, String& out);

 private:
  // What an open holds; all of it as here when nothing is open.
  struct Held {
    os::File* file = nullptr;
    bool created = false;
    std::uint64_t size = 0;
    // Viewed: the bytes are in `view`; an empty file counts as viewed with
    // nothing behind it (the stand-by view).
    bool viewed = false;
    os::View view{};
    char* pathCopy = nullptr;  // for deleting the file after a failure, and for replacing it
    bool deleteOnFailure = false;
  };

  bool IsFree() const { return held_.file == nullptr && !held_.viewed && held_.pathCopy == nullptr; }

  Held held_;
};
