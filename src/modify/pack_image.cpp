#include "modify/pack_image.h"

#include "file/image_file.h"
#include "file/image_open.h"
#include "modify/append_files.h"
#include "modify/corrupted_image.h"
#include "platform/windows_api.h"
#include "tape/block_chain.h"

namespace {

// New blocks can only be appended to an image whose blocks lead exactly to its end.
Status PrepareImage(ImageFile& image) {
  if (!image.created && !IsWholeChain(image.Bytes(), image.size)) return CorruptedImage;
  if (!image.Unmap()) return SilentFailure(E_ECLOSE);
  if (!image.SeekEnd()) return SilentFailure(E_EOPEN);
  return StatusOk;
}

}  // namespace

Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, const Settings& settings) {
  ImageFile image;
  ImageTimes times;
  Status result = OpenImage(image, imagePath, ImageUse::Packing, times);
  if (result.IsFailed()) return result;
  bool created = image.created;
  const std::uint64_t lengthAtOpen = image.size;
  result = PrepareImage(image);
  if (result.IsOk()) result = AppendFiles(image, settings, sourceDirectory, addList);
  if (result.IsOk()) created = false;  // the image now holds what was packed into it
  if (result.IsFailed()) image.Truncate(lengthAtOpen);  // a failed cut-back leaves the result as it is
  const Status closed = image.Close(CloseAs::Success);
  if (result.IsOk()) result = closed;
  if (result.IsFailed() && created) DeleteFileA(imagePath);
  return result;
}
