#include "modify/pack_image.h"

#include "file/disk_file.h"
#include "file/image_open.h"
#include "modify/block_writer.h"
#include "modify/corrupted_image.h"
#include "modify/image_replacement.h"
#include "modify/source_blocks.h"
#include "modify/temp_image.h"
#include "tape/image_format.h"
#include "tape/tape_walk.h"
#include "tape/tzx_format.h"

// The new image is the old one with the new blocks after it, written beside
// it and put in its place: a failure, or the process dying, leaves the old.
// A new image appears whole or, where the system makes no unnamed files, is
// deleted again when the pack fails.
namespace {

// The ways a pack goes, by whether the image exists and whether the system
// makes files without a name. The unnamed file is made before the image is
// opened, so that it can stand for a missing image as well.
enum class PackCase : std::uint8_t {
  NewUnnamed,           // no image: an unnamed file takes the blocks, then the image's name
  NewInPlace,           // no image and no unnamed files: the image is made and filled
  StreamedReplacement,  // an unnamed replacement takes each file's blocks as the file converts
  HeldReplacement,      // the blocks are held until every file has converted, then the
                        // replacement, which has a name from the start, is made
};

PackCase CaseOf(bool unnamed, bool imageOpened, bool imageCreated) {
  if (!imageOpened) return PackCase::NewUnnamed;
  if (imageCreated) return PackCase::NewInPlace;
  return unnamed ? PackCase::StreamedReplacement : PackCase::HeldReplacement;
}

// Where the new blocks come from when they are written: converted there and
// then, or held from an earlier conversion.
enum class Blocks : std::uint8_t { Streamed, Held };

class ImagePack {
 public:
  ImagePack(const char* imagePath, const char* sourceDirectory, const char* addList, Sources sources,
            const Settings& settings)
      : imagePath_(imagePath), sourceDirectory_(sourceDirectory), addList_(addList), sources_(sources),
        settings_(settings) {}

  Status Run() {
    const bool unnamed = replacement_.StartUnnamed(imagePath_);
    const Status opened =
        OpenImage(image_, imagePath_, unnamed ? ImageUse::Extending : ImageUse::Packing, times_);
    // Missing, it seems, when there is an unnamed file to stand for it:
    // naming the new image will tell. Otherwise the open's failure stands.
    if (opened.IsFailed() && !unnamed) return opened;
    // Held for writing now, the image is in nobody's replacement.
    if (opened.IsOk()) RemoveTempLeftovers(imagePath_);
    const Status format = ChooseFormat();
    if (format.IsFailed()) return Finish(format);
    switch (CaseOf(unnamed, opened.IsOk(), image_.Created())) {
      case PackCase::NewUnnamed:
        return PackNewUnnamed(opened);
      case PackCase::NewInPlace:
        return PackNewInPlace();
      case PackCase::StreamedReplacement:
        return PackStreamed();
      case PackCase::HeldReplacement:
        break;
    }
    return PackHeld();
  }

 private:
  // `missing` is the failure of the open that found no image; a name that
  // turns out to be taken after all ends the pack with it.
  Status PackNewUnnamed(const Status& missing) {
    SourceBlocks blocks(settings_, ImageLength(), format_);
    Status result = WriteBlocks(replacement_.File(), blocks, Blocks::Streamed);
    if (result.IsOk()) result = FlushIfMoved(replacement_.File());
    if (result.IsOk() && !replacement_.BecomeImage()) result = missing;
    if (result.IsOk() && sources_ == Sources::Moved && !replacement_.KeepName()) result = SilentFailure(E_EWRITE);
    return result;
  }

  Status PackNewInPlace() {
    SourceBlocks blocks(settings_, ImageLength(), format_);
    Status result = WriteBlocks(image_, blocks, Blocks::Streamed);
    if (result.IsOk()) result = FlushIfMoved(image_);
    if (result.IsOk()) result = image_.Close(CloseAs::Success);
    if (result.IsOk() && sources_ == Sources::Moved && !DiskFile::FlushName(imagePath_)) {
      result = SilentFailure(E_EWRITE);
    }
    if (result.IsOk()) return StatusOk;
    image_.Close(CloseAs::Success);
    DiskFile::Delete(imagePath_);
    return result;
  }

  Status PackStreamed() {
    SourceBlocks blocks(settings_, ImageLength(), format_);
    replacement_.TakeOver(image_, times_.creation);
    return Finish(WriteBlocks(replacement_.File(), blocks, Blocks::Streamed));
  }

  // The replacement of an old image has a name from the start: made only
  // once every file has converted, so that a refused file leaves nothing.
  Status PackHeld() {
    SourceBlocks blocks(settings_, ImageLength(), format_);
    Status result = blocks.Convert(sourceDirectory_, addList_, nullptr);
    if (result.IsOk()) result = replacement_.Start(imagePath_);
    if (result.IsOk()) {
      replacement_.TakeOver(image_, times_.creation);
      result = WriteBlocks(replacement_.File(), blocks, Blocks::Held);
    }
    return Finish(result);
  }

  // An image with no bytes yet takes its format from its name. New blocks
  // can only follow blocks that lead exactly to the image's end.
  Status ChooseFormat() {
    format_ = FormatOfNewImage(imagePath_);
    if (image_.Size() == 0) return StatusOk;
    const Status known = FormatOfImage(image_.Bytes(), image_.Size(), format_);
    if (known.IsFailed()) return known;
    return IsWholeImage(image_.Bytes(), image_.Size(), format_) ? StatusOk : CorruptedImage;
  }

  // A TZX starts with its header.
  bool StartsTzx() const { return image_.Size() == 0 && format_ == ImageFormat::Tzx; }
  // What the new blocks follow, which counts towards the limit of one call.
  std::uint64_t ImageLength() const { return image_.Size() + (StartsTzx() ? TzxHeaderSize : 0); }

  // The image's bytes, when there is one, then the new blocks, into `target`.
  Status WriteBlocks(DiskFile& target, SourceBlocks& blocks, Blocks from) {
    BlockWriter writer(target);
    Status result = writer.Start();
    if (result.IsOk() && StartsTzx() && !writer.Append(TzxHeader, TzxHeaderSize)) result = SilentFailure(E_EWRITE);
    if (result.IsOk() && image_.Size() != 0 && !writer.Append(image_.Bytes(), static_cast<std::uint32_t>(image_.Size()))) {
      result = SilentFailure(E_EWRITE);
    }
    if (result.IsOk()) {
      result = from == Blocks::Held ? blocks.WriteHeld(writer) : blocks.Convert(sourceDirectory_, addList_, &writer);
    }
    if (result.IsOk() && !writer.Flush()) result = SilentFailure(E_EWRITE);
    return result;
  }

  // A new image is the only copy of files that are moved: its bytes reach
  // the disk before they go, and so does its name once it has one. A
  // replacement always does both (Finish).
  Status FlushIfMoved(DiskFile& target) {
    if (sources_ == Sources::Moved && !target.Flush()) return SilentFailure(E_EWRITE);
    return StatusOk;
  }

  // Puts the replacement in the image's place; on failure the image stays.
  Status Finish(const Status& written) {
    const Status result = written.IsOk() ? replacement_.Finish(image_) : written;
    if (result.IsFailed()) image_.Close(CloseAs::Success);
    return result;
  }

  const char* imagePath_;
  const char* sourceDirectory_;
  const char* addList_;
  Sources sources_;
  const Settings& settings_;
  ImageReplacement replacement_;  // destroyed last: it removes what did not take the image's place
  DiskFile image_;
  ImageTimes times_{};
  ImageFormat format_ = ImageFormat::Tap;
};

}  // namespace

Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, Sources sources,
                 const Settings& settings) {
  return ImagePack(imagePath, sourceDirectory, addList, sources, settings).Run();
}
