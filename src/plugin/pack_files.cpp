// PackFiles: adds files to a TAP image, creating it when it does not exist.
// All or nothing: on any failure the image is cut back to its length at
// open, and an image that this call created is deleted.
#include "plugin/archive_handle.h"
#include "base/error_report.h"
#include "plugin/plugin_api.h"
#include "modify/append_files.h"
#include "modify/remove_sources.h"

namespace {

constexpr Status CorruptedImage = ShownFailure("TAP image is corrupted and cannot be modified.", E_BAD_ARCHIVE);

// New blocks can only be appended to an image whose length words lead
// exactly to its end.
bool BlocksChainToEnd(const std::uint8_t* bytes, std::uint64_t size) {
  std::uint64_t offset = 0;
  while (offset < size) {
    if (size - offset < 2) return false;
    offset += 2 + (bytes[offset] | bytes[offset + 1] << 8);
  }
  return offset == size;
}

Status PrepareImage(ImageFile& image) {
  if (!image.created && !BlocksChainToEnd(image.Bytes(), image.size)) return CorruptedImage;
  if (!image.Unmap()) return SilentFailure(E_ECLOSE);
  if (!image.SeekEnd()) return SilentFailure(E_EOPEN);
  return StatusOk;
}

}  // namespace

DOVED_EXPORT int DOVED_CALL PackFiles(char* PackedFile, char* /*SubPath*/, char* SrcPath, char* AddList, int Flags) {
  ArchiveHandle handle{};
  GetSettings(handle.settings);
  bool created = false;
  std::uint64_t lengthAtOpen = 0;

  Status result = OpenImage(handle, PackedFile, true, OPEN_ALWAYS);
  if (result.IsOk()) {
    created = handle.image.created;
    lengthAtOpen = handle.image.size;
    result = PrepareImage(handle.image);
    if (result.IsOk()) result = AppendFiles(handle, SrcPath, AddList);
    if (result.IsOk()) created = false;  // the image now holds what was packed into it
    if (result.IsFailed()) handle.image.Truncate(lengthAtOpen);  // a failed cut-back leaves the result as it is
    const Status closed = handle.image.Close(true);
    if (result.IsOk()) result = closed;
  }

  if (result.IsFailed() && created) DeleteFileA(PackedFile);
  // Sources go only once the image holding them is written and closed; a
  // file left behind is told about, but the packing stands.
  if (result.IsOk() && (Flags & PK_PACK_MOVE_FILES) != 0) ReportStatus(RemoveSources(AddList, SrcPath));
  ReportStatus(result);
  ReleaseHandle(handle);
  return HostCode(result);
}
