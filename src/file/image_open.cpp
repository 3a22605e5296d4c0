#include "file/image_open.h"

#include "file/dos_date_time.h"

Status OpenImage(DiskFile& image, const char* path, ImageUse use, ImageTimes& times) {
  const bool writable = use != ImageUse::Listing;
  // An image that this call creates is removed again when the open fails;
  // one that existed is never deleted. A failed Open has closed what it
  // opened, and must not close an image that the object held before.
  // The size is checked before the view: viewing can mean reading it all.
  const Status opened = image.Open(path, {.access = writable ? FileAccess::ReadWrite : FileAccess::Read,
                                          .disposition = use == ImageUse::Packing ? Disposition::OpenAlways
                                                                                  : Disposition::OpenExisting,
                                          .view = FileView::Mapped,
                                          .maximumSize = MaxImageSize,
                                          .tooLarge = SilentFailure(E_UNKNOWN_FORMAT),
                                          .onFailure = OnFailure::Delete});
  if (opened.IsFailed()) return opened;

  Status result = StatusOk;
  if (!image.GetTimes(&times.creation, &times.lastWrite)) {
    result = SilentFailure(E_EOPEN);
  } else {
    // Zero timestamps and archives restored from tar date images in 1970:
    // they open all the same, with the nearest date the host can show.
    times.dosDateTime = NearestDosDateTime(times.lastWrite);
  }
  if (result.IsFailed()) {
    image.Abandon();
  } else {
    image.Keep();
  }
  return result;
}
