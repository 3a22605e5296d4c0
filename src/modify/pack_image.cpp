#include "modify/pack_image.h"

#include "file/image_file.h"
#include "file/image_open.h"
#include "modify/corrupted_image.h"
#include "modify/image_replacement.h"
#include "modify/source_blocks.h"
#include "tape/block_chain.h"

// The new image is the old one with the new blocks after it, written beside
// it and put in its place: a failure, or the process dying, leaves the old.
// An image that this call creates has no old bytes to keep: the blocks go
// straight into it, and a failure deletes it.
Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, const Settings& settings) {
  ImageFile image;
  ImageTimes times;
  Status result = OpenImage(image, imagePath, ImageUse::Packing, times);
  if (result.IsFailed()) return result;
  // New blocks can only follow blocks that lead exactly to the image's end.
  const bool created = image.created;
  if (!created && !IsWholeChain(image.Bytes(), image.size)) result = CorruptedImage;

  SourceBlocks blocks(settings, image.size);
  if (result.IsOk()) result = blocks.Convert(sourceDirectory, addList);
  if (result.IsOk() && created) {
    result = blocks.WriteAfter(image, nullptr, 0);
    if (result.IsOk()) result = image.Close(CloseAs::Success);
  } else if (result.IsOk()) {
    ImageReplacement replacement;
    result = replacement.Start(imagePath);
    if (result.IsOk()) {
      replacement.TakeOver(image, times.creation);
      result = blocks.WriteAfter(replacement.File(), image.Bytes(), image.size);
    }
    if (result.IsOk()) result = replacement.Finish(image);
  }
  if (result.IsOk()) return StatusOk;
  image.Close(CloseAs::Success);
  if (created) ImageFile::Delete(imagePath);
  return result;
}
