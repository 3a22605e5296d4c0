#include "modify/pack_image.h"

#include "file/image_file.h"
#include "file/image_open.h"
#include "modify/corrupted_image.h"
#include "modify/image_replacement.h"
#include "modify/source_blocks.h"
#include "tape/block_chain.h"

// The new image is the old one with the new blocks after it, written beside
// it and put in its place: a failure, or the process dying, leaves the old.
// Where the system makes files without a name, one is made before the image
// is opened; when there is no image to open, it becomes the image, whole, at
// the end. Elsewhere a missing image is created and the blocks go straight
// into it, and a failure deletes it.
Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, const Settings& settings) {
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
  Status result = StatusOk;
  // New blocks can only follow blocks that lead exactly to the image's end.
  if (!fresh && !created && !IsWholeChain(image.Bytes(), image.size)) result = CorruptedImage;

  SourceBlocks blocks(settings, image.size);
  if (result.IsOk()) result = blocks.Convert(sourceDirectory, addList);
  if (result.IsOk() && fresh) {
    result = blocks.WriteAfter(replacement.File(), nullptr, 0);
    if (result.IsOk() && !replacement.BecomeImage()) result = opened;
  } else if (result.IsOk() && created) {
    result = blocks.WriteAfter(image, nullptr, 0);
    if (result.IsOk()) result = image.Close(CloseAs::Success);
  } else if (result.IsOk()) {
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
