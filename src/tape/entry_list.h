// The entry list of an opened image: scanned, checked against the numbering
// limit and given its duplicate marks.
#pragma once

#include "frame/archive_handle.h"
#include "frame/status.h"

// Scans the image into the handle's entries; leaves the cursor at 0 either way.
Status BuildEntryList(ArchiveHandle& handle);

// Sets each entry's duplicateOrdinal: how many earlier entries have the same
// name, letters A-Z counting as a-z. Names that cannot be formed stop the count
// there silently; the failure shows when the host asks for that name.
Status CountDuplicates(ArchiveHandle& handle);
