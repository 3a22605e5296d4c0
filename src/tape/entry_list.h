// The entry list of an opened image: scanned, checked against the numbering
// limit and given its duplicate marks.
#pragma once

#include "base/status.h"
#include "tape/entry_name.h"
#include "tape/tape_image.h"

// Scans the image into `image` and refuses more entries than numbering
// allows; then counts duplicates.
Status BuildEntryList(TapeImage& image, const std::uint8_t* bytes, std::uint64_t size, const Settings& settings,
                      std::uint32_t dosDateTime);

// Sets each entry's duplicateOrdinal: how many earlier entries have the same
// name, letters A-Z counting as a-z, and keeps each listed name in the image.
// A name that cannot be formed, or memory running out, stops the count there
// silently; a failure shows when the host asks for that name.
Status CountDuplicates(TapeImage& image);

// The listed name of the entry at `position`, as MakeEntryName gives it with
// its duplicate mark: the name kept by the count, or formed anew past it.
Status ListedEntryName(const TapeImage& image, std::uint32_t position, char out[EntryNameSize]);
