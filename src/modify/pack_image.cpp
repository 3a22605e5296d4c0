#include "modify/pack_image.h"

#include "file/image_file.h"
#include "file/image_open.h"
#include "modify/block_writer.h"
#include "modify/corrupted_image.h"
#include "modify/image_replacement.h"
#include "modify/source_blocks.h"
#include "tape/image_format.h"
#include "tape/tape_walk.h"
#include "tape/tzx_format.h"

// The new image is the old one with the new blocks after it, written beside
// it and put in its place: a failure, or the process dying, leaves the old.
// Where the system makes files without a name, one is made before the image
// is opened, and each file's blocks go into it as the file converts; when
// there is no image to open, it becomes the image, whole, at the end.
// Elsewhere a missing image is created and the blocks go straight into it,
// and a failure deletes it; the replacement of an old one, which has a name
// from the start, is made only once every file has converted, the blocks
// being held until then.
Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, Sources sources,
                 const Settings& settings) {
  ImageReplacement replacement;
  const bool unnamed = replacement.StartUnnamed(imagePath);
  ImageFile image;
  ImageTimes times;
  const Status opened = OpenImage(image, imagePath, unnamed ? ImageUse::Extending : ImageUse::Packing, times);
  // Missing, it seems: naming the new image will tell. Kept otherwise, the
  // open's failure stands.
  const bool fresh = unnamed && opened.IsFailed();
  if (opened.IsFailed() && !fresh) return opened;
  const bool created = image.created;
  const bool replacing = !fresh && !created;
  const bool held = replacing && !unnamed;
  Status result = StatusOk;
  // An image with no bytes yet takes its format from its name.
  ImageFormat format = FormatOfNewImage(imagePath);
  if (replacing && image.size != 0) {
    result = FormatOfImage(image.Bytes(), image.size, format);
    // New blocks can only follow blocks that lead exactly to the image's end.
    if (result.IsOk() && !IsWholeImage(image.Bytes(), image.size, format)) result = CorruptedImage;
  }
  const bool newTzx = image.size == 0 && format == ImageFormat::Tzx;

  SourceBlocks blocks(settings, image.size + (newTzx ? TzxHeaderSize : 0), format);
  if (result.IsOk() && held) result = blocks.Convert(sourceDirectory, addList, nullptr);
  if (result.IsOk() && held) result = replacement.Start(imagePath);
  if (result.IsOk() && replacing) replacement.TakeOver(image, times.creation);
  ImageFile& target = created ? image : replacement.File();
  BlockWriter writer(target);
  if (result.IsOk()) result = writer.Start();
  if (result.IsOk() && newTzx && !writer.Append(TzxHeader, TzxHeaderSize)) result = SilentFailure(E_EWRITE);
  if (result.IsOk() && image.size != 0 && !writer.Append(image.Bytes(), static_cast<std::uint32_t>(image.size))) {
    result = SilentFailure(E_EWRITE);
  }
  if (result.IsOk()) result = held ? blocks.WriteHeld(writer) : blocks.Convert(sourceDirectory, addList, &writer);
  if (result.IsOk() && !writer.Flush()) result = SilentFailure(E_EWRITE);
  // A replacement always reaches the disk before it takes the image's place.
  if (result.IsOk() && !replacing && sources == Sources::Moved && !target.Flush()) result = SilentFailure(E_EWRITE);

  if (result.IsOk() && fresh && !replacement.BecomeImage()) result = opened;
  if (result.IsOk() && created) result = image.Close(CloseAs::Success);
  if (result.IsOk() && replacing) result = replacement.Finish(image);
  if (result.IsOk()) return StatusOk;
  image.Close(CloseAs::Success);
  if (created) ImageFile::Delete(imagePath);
  return result;
}
