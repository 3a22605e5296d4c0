// The system's narrow text is UTF-8: the host's ANSI strings are taken as they are.
#include <cstring>

#include "os/posix/methods.h"

namespace os::posix {
namespace {

bool CopyText(const char* text, char* out, std::uint32_t size) {
  const std::size_t length = std::strlen(text);
  if (length >= size) return false;
  std::memcpy(out, text, length + 1);
  return true;
}

}  // namespace

bool AnsiToUtf8(const char* text, char* out, std::uint32_t size) { return CopyText(text, out, size); }

bool Utf8ToAnsi(const char* text, char* out, std::uint32_t size) { return CopyText(text, out, size); }

}  // namespace os::posix
