#include "file/image_open.h"

#include "file/dos_date_time.h"

Status OpenImage(ImageFile& image, const char* path, ImageUse use, ImageTimes& times) {
  const bool packing = use == ImageUse::Packing;
  // An image that this call creates is removed again when the open fails;
  // one that existed is never deleted. A failed Open has closed what it
  // opened, and must not close an image that the object held before.
  const Status opened = image.Open(path, {.access = packing ? FileAccess::ReadWrite : FileAccess::Read,
                                          .disposition = static_cast<DWORD>(packing ? OPEN_ALWAYS : OPEN_EXISTING),
                                          .view = FileView::Mapped,
                                          .onFailure = OnFailure::Delete});
  if (opened.IsFailed()) return opened;

  Status result = StatusOk;
  if (image.size > MaxImageSize) {
    result = SilentFailure(E_UNKNOWN_FORMAT);
  } else if (!image.GetTimes(&times.creation, &times.lastWrite)) {
    result = SilentFailure(E_EOPEN);
  } else {
    times.dosDateTime = ToDosDateTime(times.lastWrite);
    if (times.dosDateTime == 0) result = SilentFailure(E_EOPEN);
  }
  if (result.IsFailed()) {
    image.Abandon();
  } else {
    image.deleteOnFailure = false;
  }
  return result;
}
