// No window system is assumed: an error box is a line on standard error,
// which the file manager's log or terminal shows.
#include <cstdio>

#include "os/posix/methods.h"

namespace os::posix {

void ShowErrorBox(const char* text, const char* caption) {
  std::fprintf(stderr, "[%s] %s\n", caption != nullptr ? caption : "", text != nullptr ? text : "");
}

// POSIX has no system texts for Windows error codes.
std::uint32_t SystemErrorText(std::uint32_t, char* out, std::uint32_t size) {
  if (out != nullptr && size != 0) out[0] = '\0';
  return 0;
}

}  // namespace os::posix
