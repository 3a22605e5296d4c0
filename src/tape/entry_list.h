// The entry list of an opened image: scanned, checked against the numbering
// limit and given its duplicate marks.
#pragma once

#include "plugin/archive_handle.h"
#include "base/status.h"
#include "tape/entry_name.h"

// Scans the image into the handle's entries; leaves the cursor at 0 either way.
Status BuildEntryList(ArchiveHandle& handle);

// Sets each entry's duplicateOrdinal: how many earlier entries have the same
// name, letters A-Z counting as a-z, and keeps each listed name in the handle.
// A name that cannot be formed, or memory running out, stops the count there
// silently; a failure shows when the host asks for that name.
Status CountDuplicates(ArchiveHandle& handle);

// The listed name of the entry at `position`, as MakeEntryName gives it with
// its duplicate mark: the name kept by the count, or formed anew past it.
Status ListedEntryName(const ArchiveHandle& handle, std::uint32_t position, char out[EntryNameSize]);
