// The listing and extraction calls, once, in UTF-8: the ANSI and the wide
// entry points are bindings that convert their strings and records.
#pragma once

#include "plugin/host_text.h"
#include "plugin/plugin_api.h"
#include "tape/entry_name.h"

// The failure of a path that the host's record cannot hold.
inline constexpr char ArchivePathTooLong[] = "Archive path too long";

// What the host's header record tells of one entry.
struct EntryFacts {
  char name[EntryNameSize];  // the listed name, UTF-8
  int packSize;
  int unpSize;
  int fileTime;
  int fileAttr;
};

// Opens the image that `path` names for listing and extraction; null, with
// the host code in `openResult`, on failure (`path`'s own failure included).
// `request` is the host's record, whose first bytes stir the random pool.
HANDLE OpenArchiveHandle(const void* request, const HostText& path, int& openResult);

// The entry at the cursor, which stays; E_END_ARCHIVE past the last. On
// another failure `facts` holds all but the name.
int DescribeEntry(HANDLE archive, EntryFacts* facts);

// The image's path as it was opened, UTF-8.
const char* ArchivePath(HANDLE archive);

// Takes the entry at the cursor: skips, tests or extracts it to `destName`.
// `destPathGiven` tells that the host passed a DestPath.
int ProcessEntry(HANDLE archive, int operation, bool destPathGiven, const HostText& destName);
