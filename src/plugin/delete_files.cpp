// DeleteFiles: the image is never edited in place. The entries that stay are
// copied into a replacement beside it, which is put on disk and then takes
// the image's place in one step; until then the image is untouched.
#include <cstring>

#include "base/error_report.h"
#include "file/image_file.h"
#include "modify/corrupted_image.h"
#include "modify/image_replacement.h"
#include "modify/run_copy.h"
#include "plugin/archive_handle.h"
#include "plugin/archive_listing.h"
#include "plugin/entry_walk.h"
#include "plugin/host_bindings.h"
#include "plugin/image_changes.h"
#include "plugin/plugin_api.h"
#include "tape/tap_format.h"

namespace {

// Exact, byte-for-byte membership in a list of NUL-ended names closed by an empty one.
bool IsListed(const char* name, const char* list) {
  for (const char* candidate = list; *candidate != '\0'; candidate += std::strlen(candidate) + 1)
    if (std::strcmp(candidate, name) == 0) return true;
  return false;
}

// Straight from the view: the header block and the data block as stored,
// length words included.
bool CopyEntry(RunCopy& copy, const TapeEntry& entry) {
  if (entry.headerBlock != nullptr && !copy.Add(entry.headerBlock - LengthWordSize, StoredHeaderBlockSize)) {
    return false;
  }
  return entry.dataBlock == nullptr ||
         copy.Add(entry.dataBlock - LengthWordSize, std::uint64_t{entry.dataBlockLength} + LengthWordSize);
}

// One delete: the open image and the replacement that will take its place.
class ImageRewrite {
 public:
  ImageRewrite() = default;
  ImageRewrite(const ImageRewrite&) = delete;
  ImageRewrite& operator=(const ImageRewrite&) = delete;

  Status Run(const HostText& packedFile, const char* deleteList) {
    tOpenArchiveData request{};
    request.ArcName = packedFile.Utf8();
    request.OpenMode = PK_OM_EXTRACT;
    image_ = static_cast<ArchiveHandle*>(OpenArchiveHandle(&request, packedFile, request.OpenResult));
    if (image_ == nullptr) return SilentFailure(request.OpenResult);  // the open has shown its message

    const Status made = replacement_.Start(image_->path);
    if (made.IsFailed()) return made;
    replacement_.TakeOver(image_->image, image_->times.creation);

    const Status copied = CopyKeptEntries(deleteList);
    if (copied.IsFailed()) return copied;
    const Status replaced = replacement_.Finish(image_->image);
    if (replaced.IsFailed()) return replaced;
    // The image is closed already; only the handle is left to free.
    const int closeCode = CloseArchive(image_);
    image_ = nullptr;
    return closeCode == 0 ? StatusOk : SilentFailure(closeCode);
  }

  // Releases what Run left open.
  void Release() {
    if (image_ != nullptr) CloseArchive(image_);
    image_ = nullptr;
  }

 private:
  // Walks the entries as the host would, so the names compared are the listed ones.
  Status CopyKeptEntries(const char* deleteList) {
    Status result = StatusOk;
    RunCopy copy(replacement_.File());
    const int code = WalkEntries<EntryFacts>(DescribeEntry, image_, [&](const EntryFacts& header) {
      const TapeEntry& entry = *TakeEntry(*image_);
      // Checked for every entry: a damaged image is refused as a whole.
      if (entry.dataBlock != nullptr && !entry.dataComplete) {
        result = CorruptedImage;
      } else if (!IsListed(header.name, deleteList) && !CopyEntry(copy, entry)) {
        result = SilentFailure(E_EWRITE);
      }
      return HostCode(result);
    });
    if (result.IsOk() && code == 0 && !copy.Flush()) result = SilentFailure(E_EWRITE);
    // A ReadHeader that failed has shown its message.
    return result.IsFailed() || code == 0 ? result : SilentFailure(code);
  }

  ArchiveHandle* image_ = nullptr;  // open until CloseArchive
  ImageReplacement replacement_;
};

}  // namespace

int DeleteHostEntries(const HostText& packedFile, const HostText& deleteList) {
  ImageRewrite rewrite;
  const Status result = deleteList.Failure().IsFailed() ? deleteList.Failure() : rewrite.Run(packedFile, deleteList.Utf8());
  rewrite.Release();
  ReportStatus(result);
  return HostCode(result);
}

DOVED_EXPORT int DOVED_CALL DeleteFiles(char* PackedFile, char* DeleteList) {
  return DeleteFilesFrom(PackedFile, DeleteList);
}
