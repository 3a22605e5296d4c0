// Whether a file is held: what another program opening it would find.
#pragma once

#include <string>

#include "os/os.h"

// A writer could open the file now: nobody holds it open.
inline bool NobodyHolds(const std::string& path) {
  bool created;
  os::File* writer = os::Native.Open(path.c_str(), os::Access::ReadWrite, os::Disposition::OpenExisting, &created);
  if (writer == nullptr) return false;
  os::Native.Close(writer);
  return true;
}
