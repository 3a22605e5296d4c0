#include "tape/device_name.h"

#include <cstring>

#include "tape/name_chars.h"

namespace {

bool IsDevice(const char* stem, std::size_t count) {
  static constexpr const char* Plain[] = {"con", "prn", "aux", "nul"};
  static constexpr const char* Numbered[] = {"com", "lpt"};
  if (count == 3) {
    for (const char* name : Plain) {
      if (EqualFolded(stem, name, 3)) return true;
    }
    return false;
  }
  if (count != 4 || stem[3] < '1' || stem[3] > '9') return false;
  for (const char* name : Numbered) {
    if (EqualFolded(stem, name, 3)) return true;
  }
  return false;
}

}  // namespace

std::size_t DeviceNameLength(const char* text, std::size_t count) {
  const void* dot = std::memchr(text, '.', count);
  std::size_t stem = dot != nullptr ? static_cast<const char*>(dot) - text : count;
  while (stem > 0 && text[stem - 1] == ' ') --stem;
  return IsDevice(text, stem) ? stem : 0;
}
