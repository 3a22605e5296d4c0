#include "modify/image_replacement.h"

bool ImageReplacement::StartUnnamed(const char* imagePath) {
  return DiskFile::ResolvePath(imagePath, target_).IsOk() && file_.CreateUnnamed(target_.CStr()).IsOk();
}

Status ImageReplacement::Start(const char* imagePath) {
  if (file_.HasFile()) return StatusOk;
  const Status resolved = DiskFile::ResolvePath(imagePath, target_);
  if (resolved.IsFailed()) return SilentFailure(E_ECREATE);
  if (file_.CreateUnnamed(target_.CStr()).IsOk()) return StatusOk;
  return MakeTempImage(target_.CStr(), name_, file_, numbers_);
}

void ImageReplacement::TakeOver(const DiskFile& image, std::uint64_t creationTime) {
  file_.CopyMetadataFrom(image);
  file_.SetTimes(creationTime, 0);
}

Status ImageReplacement::Finish(DiskFile& image) {
  // The copy must be on disk before it takes the image's name, or a power
  // loss after the rename could leave neither the old image nor the new one.
  if (!file_.Flush()) return SilentFailure(E_EWRITE);
  // Whatever can take time goes before the replacement has a name: from then
  // on only the few calls that put it in the image's place remain.
  if (!image.Unmap()) return SilentFailure(E_ECLOSE);
  if (name_.length == 0) {
    const Status named = NameTempImage(target_.CStr(), name_, file_, numbers_);
    if (named.IsFailed()) return named;
  }
  const Status closed = file_.Close(CloseAs::Success);
  if (closed.IsFailed()) return closed;
  if (!image.GiveWayTo(name_.CStr())) return SilentFailure(E_EWRITE);
  name_.Clear();
  return StatusOk;
}

bool ImageReplacement::BecomeImage() {
  // Nothing of an image was on disk to lose: the caller flushes when the
  // new bytes will be their only copy.
  if (name_.length != 0 || !file_.HasFile() || !file_.GiveName(target_.CStr())) {
    file_.Close(CloseAs::Failure);
    return false;
  }
  if (file_.Close(CloseAs::Success).IsOk()) return true;
  DiskFile::Delete(target_.CStr());  // the new image, which this call made
  return false;
}

bool ImageReplacement::KeepName() {
  if (DiskFile::FlushName(target_.CStr())) return true;
  DiskFile::Delete(target_.CStr());
  return false;
}

void ImageReplacement::Discard() {
  file_.Close(CloseAs::Success);
  if (name_.length != 0) DiskFile::Delete(name_.CStr());
  name_.Clear();
}
