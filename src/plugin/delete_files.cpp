// DeleteFiles: the image is never edited in place. Everything but the deleted
// entries' blocks is copied into a replacement beside it, which is put on
// disk and then takes the image's place in one step; until then the image is
// untouched. A TZX image thus keeps every block that is no entry's.
#include <cstring>

#include "base/error_report.h"
#include "file/disk_file.h"
#include "modify/corrupted_image.h"
#include "modify/image_replacement.h"
#include "modify/cut_copy.h"
#include "modify/temp_image.h"
#include "plugin/archive_handle.h"
#include "plugin/archive_listing.h"
#include "plugin/entry_walk.h"
#include "plugin/host_bindings.h"
#include "plugin/image_changes.h"
#include "plugin/plugin_api.h"

namespace {

// Exact, byte-for-byte membership in a list of NUL-ended names closed by an empty one.
bool IsListed(const char* name, const char* list) {
  for (const char* candidate = list; *candidate != '\0'; candidate += std::strlen(candidate) + 1)
    if (std::strcmp(candidate, name) == 0) return true;
  return false;
}

// The header block and the data block as stored, with what frames them.
bool CutEntry(CutCopy& copy, const TapeEntry& entry) {
  const auto cut = [&](StoredRange range) { return copy.Cut(range.start, range.length); };
  return (entry.headerBlock == nullptr || cut(entry.StoredHeader())) &&
         (entry.dataBlock == nullptr || cut(entry.StoredData()));
}

// Leftovers of earlier, killed deletes go only while nobody else has the
// image open, and so none of a delete that is still running.
void SweepTempLeftovers(const char* imagePath) {
  DiskFile image;
  if (image.Open(imagePath, {.access = FileAccess::ReadWrite}).IsFailed()) return;
  RemoveTempLeftovers(imagePath);
  image.Close(CloseAs::Success);
}

// One delete: the open image and the replacement that will take its place.
class ImageRewrite {
 public:
  ImageRewrite() = default;
  ImageRewrite(const ImageRewrite&) = delete;
  ImageRewrite& operator=(const ImageRewrite&) = delete;

  Status Run(const HostText& packedFile, const char* deleteList) {
    // A path that could not be taken is the open's to report.
    if (packedFile.Utf8() != nullptr) SweepTempLeftovers(packedFile.Utf8());
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
  // Walks the entries as the host would, so the names compared are the
  // listed ones. Entries lie in image order, each header before its data.
  Status CopyKeptEntries(const char* deleteList) {
    Status result = StatusOk;
    CutCopy copy(replacement_.File(), image_->image.Bytes(), image_->image.Size());
    const int code = WalkEntries<EntryFacts>(DescribeEntry, image_, [&](const EntryFacts& header) {
      const TapeEntry& entry = *TakeEntry(*image_);
      // Checked for every entry: a damaged image is refused as a whole.
      if (entry.dataBlock != nullptr && !entry.dataComplete) {
        result = CorruptedImage;
      } else if (IsListed(header.name, deleteList) && !CutEntry(copy, entry)) {
        result = SilentFailure(E_EWRITE);
      }
      return HostCode(result);
    });
    if (result.IsOk() && code == 0 && !copy.Finish()) result = SilentFailure(E_EWRITE);
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
