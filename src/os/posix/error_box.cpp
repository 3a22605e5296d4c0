// No window system is assumed: an error box is a line on standard error,
// which the file manager's log or terminal shows.
#include <limits.h>
#include <string.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "os/posix/methods.h"

namespace os::posix {

void ShowErrorBox(const char* text, const char* caption) {
  std::fprintf(stderr, "[%s] %s\n", caption != nullptr ? caption : "", text != nullptr ? text : "");
}

// The codes that POSIX operations return are errno values.
std::uint32_t SystemErrorText(std::uint32_t code, char* out, std::uint32_t size) {
  const char* text = code <= INT_MAX ? strerrordesc_np(static_cast<int>(code)) : nullptr;
  if (text == nullptr || size == 0) return 0;
  const std::size_t length = std::min<std::size_t>(std::strlen(text), size - 1);
  std::memcpy(out, text, length);
  out[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

}  // namespace os::posix
