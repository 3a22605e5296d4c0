// After a move, the source files go once they are safely in the image.
#pragma once

#include "base/status.h"

inline constexpr Status SourcesNotRemoved = ShownFailure("Error deleting source files/directories");

// Deletes the listed files, last name first; directories are left in place.
// A file that cannot be deleted stays, the walk goes on, and the result is
// SourcesNotRemoved. A path that cannot be built stops the walk at once.
Status RemoveSources(const char* sourceDirectory, const char* addList);
