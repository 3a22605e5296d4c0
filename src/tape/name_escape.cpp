#include "tape/name_escape.h"

#include "tape/device_name.h"
#include "tape/name_chars.h"

namespace {

// Bytes that Windows refuses in a file name: 0x00-0x1F and "<>:"/\|?*.
// A switch rather than a search of the set: every byte of every name comes here.
bool IsInvalidNameChar(std::uint8_t byte) {
  switch (byte) {
    case '"': case '<': case '>': case '|': case '\\': case '/': case '?': case '*': case ':':
      return true;
    default:
      return byte < 0x20;
  }
}

}  // namespace

Status AppendEscapeForm(String& s, std::uint8_t byte) {
  const char escape[] = {'#', UpperHexDigits[byte >> 4], UpperHexDigits[byte & 0x0F], '\0'};
  return s.Append(escape);
}

Status EscapeNameChar(String& s, std::uint8_t byte, bool escapeSpace) {
  if (IsInvalidNameChar(byte) || byte >= 0x7F || byte == '#' || (escapeSpace && byte == ' ')) {
    return AppendEscapeForm(s, byte);
  }
  return s.AppendChar(static_cast<char>(byte));
}

Status AppendTapeName(String& s, const char (&name)[TapeNameLength], std::size_t keep) {
  std::size_t count = TapeNameLength;
  while (count > 0 && name[count - 1] == ' ') --count;
  if (count > keep) count = keep;
  // Device letters are never escaped otherwise, so the raw bytes decide.
  const std::size_t device = DeviceNameLength(name, count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto byte = static_cast<std::uint8_t>(name[i]);
    const Status appended = i < device ? AppendEscapeForm(s, byte) : EscapeNameChar(s, byte, false);
    if (appended.IsFailed()) return appended;
  }
  return StatusOk;
}
