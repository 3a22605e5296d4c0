// Packing files into an image, creating it when it does not exist. All or
// nothing: on any failure the image is cut back to its length at open, and
// an image that this call created is deleted.
#pragma once

#include "base/status.h"
#include "settings/settings.h"

// `addList` names the files relative to `sourceDirectory`, as the host's
// PackFiles gives them.
Status PackImage(const char* imagePath, const char* sourceDirectory, const char* addList, const Settings& settings);
