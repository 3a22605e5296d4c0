// The new bytes of an image, written beside it and put in its place in one
// step: until then the image is untouched, and on every way out short of it
// nothing of the replacement stays. Where the system allows, the replacement
// has no name until just before it takes the image's, so that not even a
// process killed meanwhile leaves it behind.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "file/disk_file.h"
#include "modify/temp_image.h"
#include "support/ansi_string.h"

class ImageReplacement {
 public:
  explicit ImageReplacement(TempNumberSource numbers = FreshTempNumber) : numbers_(numbers) {}
  ImageReplacement(const ImageReplacement&) = delete;
  ImageReplacement& operator=(const ImageReplacement&) = delete;
  ~ImageReplacement() { Discard(); }

  // Makes the replacement of the image at `imagePath` without a name, beside
  // the file that the path names through links; false where the system
  // makes no such files. Made before the image is opened, it can also stand
  // for an image that does not exist yet (BecomeImage).
  bool StartUnnamed(const char* imagePath);
  // Makes the empty replacement, unless StartUnnamed has: unnamed where the
  // system allows, else under a temporary name; E_ECREATE when it cannot be
  // made.
  Status Start(const char* imagePath);
  // Where the new bytes go.
  DiskFile& File() { return file_; }
  // Gives the replacement what the image carries beside its bytes: its
  // creation time, permissions and extended attributes. Best effort: a file
  // system without them drops them.
  void TakeOver(const DiskFile& image, std::uint64_t creationTime);
  // Puts the replacement's bytes on disk, then the replacement in the place
  // of `image`, which is closed by it. E_EWRITE, E_ECREATE when it can
  // have no name, or E_ECLOSE when it cannot be closed; the image stays as
  // it was then.
  Status Finish(DiskFile& image);
  // Gives an unnamed replacement the image's own name, which nothing may
  // have yet, and closes it: to other programs, and after the process dies,
  // a new image appears whole or not at all; it is flushed only when the
  // caller asks (a power loss may leave it short). False
  // when the name is taken or the replacement cannot be closed; the
  // replacement is then gone.
  bool BecomeImage();
  // After BecomeImage: puts the new image's name on the disk as well, for
  // a caller whose sources go once the image stands. False when it cannot;
  // the new image is then gone again.
  bool KeepName();

 private:
  // Removes a replacement that did not take the image's place.
  void Discard();

  TempNumberSource numbers_;
  DiskFile file_;
  String target_;  // the image, through links
  String name_;    // the replacement's name, once it has one
};
