// Packing files into an image, creating it when it does not exist. All or
// nothing: on any failure the image keeps its bytes, and an image that this
// call created is gone.
#pragma once

#include "base/status.h"
#include "settings/settings.h"

// What becomes of the packed files afterwards. Files that are moved have no
// other copy once they go, so a new image must be on disk first.
enum class Sources { Kept, Moved };

// `addList` names the files relative to `sourceDirectory`, as the host's
// PackFiles gives them.
Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, Sources sources,
                 const Settings& settings);
