// Windows paths on a POSIX file system.
#pragma once

#include <string>

namespace posix_files {

// `path` with every backslash turned into a slash.
std::string PosixPath(const char* path);
// The directory that holds `path` ("." for a bare name).
std::string ParentDirectory(const std::string& path);

}  // namespace posix_files
