// Paths as the host writes them: either slash separates components.
#pragma once

inline bool IsPathSeparator(char ch) { return ch == '/' || ch == '\\'; }

// The last component of `path`: what follows its last separator.
inline const char* LastPathComponent(const char* path) {
  const char* last = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (IsPathSeparator(*p)) last = p + 1;
  }
  return last;
}
