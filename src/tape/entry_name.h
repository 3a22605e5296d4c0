// The file name under which an entry is listed: where its tape header survives
// the passage through the file system.
#pragma once

#include "base/status.h"
#include "support/ansi_string.h"
#include "tape/tape_entry.h"
#include "tape/tape_image.h"

inline constexpr unsigned EntryNameSize = 260;  // the host's name field, NUL included

// Writes the entry's NUL-terminated name into `out`, which stays untouched on
// failure. `withDuplicateMark` adds "[n]" to the second and later of equal names.
Status MakeEntryName(const TapeEntry& entry, const TapeImage& image, char out[EntryNameSize],
                     bool withDuplicateMark);

// Forms the same name as MakeEntryName, failing alike, as the whole text of
// `s`: one String can serve name after name without a buffer for each.
Status FormEntryName(String& s, const TapeEntry& entry, const TapeImage& image, bool withDuplicateMark);

// Appends "[n]" for the n-th of equal names, whose ordinal is n - 1; nothing
// for the first.
Status AppendDuplicateMark(String& s, std::uint32_t ordinal);

// Copies a formed name and its NUL into `out`; a name that does not fit the
// host's field fails, and `out` stays untouched.
Status CopyEntryName(const char* name, std::uint32_t length, char out[EntryNameSize]);

// Appends tape name and extension of a plain-mode header entry.
Status TapeFileName(String& s, const TapeHeader& h, bool hobeta);
