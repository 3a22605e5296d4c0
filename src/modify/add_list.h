// The host's list of source names: NUL-ended names one after another, closed
// by an empty name, each relative to the source directory.
#pragma once

#include <cstring>

#include "base/status.h"
#include "support/ansi_string.h"
#include "support/path_text.h"

inline const char* NextListedName(const char* name) { return name + std::strlen(name) + 1; }

// The host names a directory with a trailing separator.
inline bool IsDirectoryName(const char* name) {
  const std::size_t length = std::strlen(name);
  return length != 0 && IsPathSeparator(name[length - 1]);
}

// The source directory joined with a listed name: one separator between
// them, none after an empty directory.
inline Status BuildSourcePath(String& path, const char* sourceDirectory, const char* name) {
  path.Clear();
  const Status directory = path.Append(sourceDirectory != nullptr ? sourceDirectory : "");
  if (directory.IsFailed()) return directory;
  return path.AppendPath(name);
}
