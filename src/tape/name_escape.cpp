#include "tape/name_escape.h"

#include "tape/device_name.h"
#include "tape/name_chars.h"

namespace {

// Bytes that Windows refuses in a file name: 0x00-0x1F and "<>:"/\|?*.
constexpr bool IsInvalidNameChar(std::uint8_t byte) {
  switch (byte) {
    case '"': case '<': case '>': case '|': case '\\': case '/': case '?': case '*': case ':':
      return true;
    default:
      return byte < 0x20;
  }
}

// Whether a byte is written in escape form, spaces aside; a table, since
// every byte of every listed name comes here.
struct EscapeTable {
  bool escaped[256];
  constexpr EscapeTable() : escaped() {
    for (int byte = 0; byte < 256; ++byte) {
      const auto b = static_cast<std::uint8_t>(byte);
      escaped[byte] = IsInvalidNameChar(b) || b >= 0x7F || b == '#';
    }
  }
};
constexpr EscapeTable Escaped;

// "#" and the two upper-case hexadecimal digits of `byte`, at `out`.
std::uint32_t WriteEscapeForm(char* out, std::uint8_t byte) {
  out[0] = '#';
  out[1] = UpperHexDigits[byte >> 4];
  out[2] = UpperHexDigits[byte & 0x0F];
  return 3;
}

// `byte` itself or its escape form at `out`; the characters written.
std::uint32_t WriteNameChar(char* out, std::uint8_t byte, bool escapeSpace) {
  if (Escaped.escaped[byte] || (escapeSpace && byte == ' ')) {
    return WriteEscapeForm(out, byte);
  }
  *out = static_cast<char>(byte);
  return 1;
}

}  // namespace

Status AppendEscapeForm(String& s, std::uint8_t byte) {
  char escape[3];
  return s.AppendBytes(escape, WriteEscapeForm(escape, byte));
}

Status EscapeNameChar(String& s, std::uint8_t byte, bool escapeSpace) {
  char text[3];
  return s.AppendBytes(text, WriteNameChar(text, byte, escapeSpace));
}

Status AppendTapeName(String& s, const char (&name)[TapeNameLength], std::size_t keep) {
  std::size_t count = TapeNameLength;
  while (count > 0 && name[count - 1] == ' ') --count;
  if (count > keep) count = keep;
  // Device letters are never escaped otherwise, so the raw bytes decide.
  const std::size_t device = DeviceNameLength(name, count);
  // The whole name in one append: every byte of every listed name comes here.
  char text[TapeNameLength * 3];
  std::uint32_t written = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto byte = static_cast<std::uint8_t>(name[i]);
    written += i < device ? WriteEscapeForm(text + written, byte) : WriteNameChar(text + written, byte, false);
  }
  return s.AppendBytes(text, written);
}
