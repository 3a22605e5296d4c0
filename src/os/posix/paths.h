// Paths as the upper layers give them, and the file that a path names.
#pragma once

#include <limits.h>

#include <cstddef>

namespace os::posix {

// Every path buffer holds this many bytes, the terminating NUL included.
constexpr std::size_t PathCapacity = PATH_MAX;

// `path` with each '\\' turned into '/' (the upper layers join names with
// '\\', as on Windows), into `out` of PathCapacity bytes. False for a null,
// empty or too long path.
bool LocalPath(const char* path, char* out);

// The absolute path of the file that `path` names, through every symbolic
// link, into `out` of PathCapacity bytes. When the final file is missing
// (or a link points at a missing file), its directory is resolved and its
// name appended. False when the directory cannot be had.
bool Resolve(const char* path, char* out);

// The directory that holds `path` ("." for a bare name), into `out` of
// PathCapacity bytes.
void DirectoryOf(const char* path, char* out);

// Puts a new name on the disk: syncs the directory that holds `path`.
bool SyncDirectoryOf(const char* path);

}  // namespace os::posix
