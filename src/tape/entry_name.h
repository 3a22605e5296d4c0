// The file name under which an entry is listed: where its tape header survives
// the passage through the file system.
#pragma once

#include "frame/archive_handle.h"
#include "frame/status.h"
#include "support/ansi_string.h"
#include "tape/tape_entry.h"

inline constexpr unsigned EntryNameSize = 260;  // the host's name field, NUL included

// Writes the entry's NUL-terminated name into `out`, which stays untouched on
// failure. `withDuplicateMark` adds "[n]" to the second and later of equal names.
Status MakeEntryName(const TapeEntry& entry, const ArchiveHandle& handle, char out[EntryNameSize],
                     bool withDuplicateMark);

// Appends tape name and extension of a plain-mode header entry.
Status TapeFileName(String& s, const TapeHeader& h, bool hobeta);
