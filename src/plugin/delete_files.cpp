// DeleteFiles: the image is never edited in place. The entries that stay are
// copied into a temporary file beside it, which is put on disk and then
// renamed over the image; until that rename the image is untouched.
#include <cstring>

#include "base/error_report.h"
#include "file/image_file.h"
#include "modify/corrupted_image.h"
#include "modify/temp_image.h"
#include "platform/windows_api.h"
#include "plugin/archive_handle.h"
#include "plugin/entry_walk.h"
#include "plugin/plugin_api.h"
#include "support/ansi_string.h"
#include "tape/tap_format.h"

namespace {

// Exact, byte-for-byte membership in a list of NUL-ended names closed by an empty one.
bool IsListed(const char* name, const char* list) {
  for (const char* candidate = list; *candidate != '\0'; candidate += std::strlen(candidate) + 1)
    if (std::strcmp(candidate, name) == 0) return true;
  return false;
}

// Straight from the mapping: the header block and the data block as stored,
// length words included.
bool CopyEntry(ImageFile& target, const TapeEntry& entry) {
  if (entry.headerBlock != nullptr && !target.Write(entry.headerBlock - LengthWordSize, StoredHeaderBlockSize)) {
    return false;
  }
  return entry.dataBlock == nullptr ||
         target.Write(entry.dataBlock - LengthWordSize, std::uint64_t{entry.dataBlockLength} + LengthWordSize);
}

// One delete: the open image, the temporary image that will replace it, and
// what is left to undo when the work stops short.
class ImageRewrite {
 public:
  ImageRewrite() = default;
  ImageRewrite(const ImageRewrite&) = delete;
  ImageRewrite& operator=(const ImageRewrite&) = delete;

  Status Run(char* packedFile, const char* deleteList) {
    tOpenArchiveData request{};
    request.ArcName = packedFile;
    request.OpenMode = PK_OM_EXTRACT;
    image_ = static_cast<ArchiveHandle*>(OpenArchive(&request));
    if (image_ == nullptr) return SilentFailure(request.OpenResult);  // OpenArchive has shown its message

    const Status made = MakeTempImage(packedFile, tempName_, temp_);
    if (made.IsFailed()) return made;
    tempExists_ = true;
    // Best effort: a file system without creation times simply drops it.
    temp_.SetTimes(image_->times.creation, 0);

    const Status copied = CopyKeptEntries(deleteList);
    if (copied.IsFailed()) return copied;
    return ReplaceImage(packedFile);
  }

  // Releases what Run left open; a temporary file not yet renamed is deleted.
  void Release() {
    temp_.Close(CloseAs::Success);
    if (tempExists_) DeleteFileA(tempName_.CStr());
    tempExists_ = false;
    if (image_ != nullptr) CloseArchive(image_);
    image_ = nullptr;
  }

 private:
  // Walks the entries as the host would, so the names compared are the listed ones.
  Status CopyKeptEntries(const char* deleteList) {
    Status result = StatusOk;
    const int code = WalkEntries(ReadHeader, image_, [&](const tHeaderData& header) {
      const TapeEntry& entry = *TakeEntry(*image_);
      // Checked for every entry: a damaged image is refused as a whole.
      if (entry.dataBlock != nullptr && !entry.dataComplete) {
        result = CorruptedImage;
      } else if (!IsListed(header.FileName, deleteList) && !CopyEntry(temp_, entry)) {
        result = SilentFailure(E_EWRITE);
      }
      return HostCode(result);
    });
    // A ReadHeader that failed has shown its message.
    return result.IsFailed() || code == 0 ? result : SilentFailure(code);
  }

  Status ReplaceImage(const char* packedFile) {
    // The copy must be on disk before it takes the image's name, or a power
    // loss after the rename could leave neither the old image nor the new one.
    if (!temp_.Flush()) return SilentFailure(E_EWRITE);
    const Status closed = temp_.Close(CloseAs::Success);
    if (closed.IsFailed()) return closed;
    const int closeCode = CloseArchive(image_);
    image_ = nullptr;
    if (closeCode != 0) return SilentFailure(closeCode);
    if (!MoveFileExA(tempName_.CStr(), packedFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return SilentFailure(E_EWRITE);
    tempExists_ = false;
    return StatusOk;
  }

  ArchiveHandle* image_ = nullptr;  // open until CloseArchive
  ImageFile temp_;
  String tempName_;
  bool tempExists_ = false;  // while set, every way out deletes the temporary file
};

}  // namespace

DOVED_EXPORT int DOVED_CALL DeleteFiles(char* PackedFile, char* DeleteList) {
  ImageRewrite rewrite;
  const Status result = rewrite.Run(PackedFile, DeleteList);
  rewrite.Release();
  ReportStatus(result);
  return HostCode(result);
}
