#include "os/posix/profile_text.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

namespace os::posix {
namespace {

constexpr char Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t NoLine = static_cast<std::size_t>(-1);

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

Span Trim(Span text) {
  while (text.length > 0 && IsSpace(text.text[0])) {
    ++text.text;
    --text.length;
  }
  while (text.length > 0 && IsSpace(text.text[text.length - 1])) --text.length;
  return text;
}

// `wanted` has no NUL within the name's length, so a NUL in the name differs.
bool SameName(Span name, const char* wanted) {
  return std::strlen(wanted) == name.length && strncasecmp(name.text, wanted, name.length) == 0;
}

// The name between '[' and the first ']' (or the end of the line).
bool SectionName(Span line, Span* name) {
  line = Trim(line);
  if (line.length == 0 || line.text[0] != '[') return false;
  const char* start = line.text + 1;
  const void* close = std::memchr(start, ']', line.length - 1);
  const std::size_t length = close != nullptr ? static_cast<const char*>(close) - start : line.length - 1;
  *name = Trim({start, length});
  return true;
}

bool KeyLine(Span line, Span* key, Span* value) {
  line = Trim(line);
  if (line.length == 0 || line.text[0] == ';' || line.text[0] == '[') return false;
  const void* equals = std::memchr(line.text, '=', line.length);
  if (equals == nullptr) return false;
  const std::size_t before = static_cast<const char*>(equals) - line.text;
  *key = Trim({line.text, before});
  *value = Trim({line.text + before + 1, line.length - before - 1});
  return true;
}

class LineReader {
 public:
  explicit LineReader(Span text) : text_(text) {}

  // The next line, without its line end.
  bool Next(Span* line) {
    if (position_ >= text_.length) return false;
    const char* start = text_.text + position_;
    const std::size_t rest = text_.length - position_;
    std::size_t length = 0;
    while (length < rest && start[length] != '\n' && start[length] != '\r') ++length;
    std::size_t end = length;
    if (end < rest) end += start[end] == '\r' && end + 1 < rest && start[end + 1] == '\n' ? 2 : 1;
    position_ += end;
    *line = {start, length};
    return true;
  }

 private:
  Span text_;
  std::size_t position_ = 0;
};

// Where a key stands: in the first section of the name, its first line.
struct Place {
  std::size_t header = NoLine;      // the section's header line
  std::size_t lastFilled = NoLine;  // the section's last non-blank line, the header at least
  std::size_t key = NoLine;         // the key's line
  Span keyName{};                   // the key as the file spells it
  Span value{};                     // its value, without blanks around it
};

Place Locate(Span text, const char* section, const char* key) {
  Place place;
  LineReader lines(text);
  Span line;
  for (std::size_t index = 0; lines.Next(&line); ++index) {
    Span name;
    if (SectionName(line, &name)) {
      if (place.header != NoLine) break;  // the end of the section
      if (SameName(name, section)) place.lastFilled = place.header = index;
      continue;
    }
    if (place.header == NoLine) continue;
    if (Trim(line).length != 0) place.lastFilled = index;
    Span value;
    if (place.key == NoLine && KeyLine(line, &name, &value) && SameName(name, key)) {
      place.key = index;
      place.keyName = name;
      place.value = value;
    }
  }
  return place;
}

// An optional sign and the decimal digits up to the first other character.
std::uint32_t NumberOf(Span value) {
  std::size_t at = 0;
  const bool negative = value.text[0] == '-';
  if (value.text[0] == '-' || value.text[0] == '+') ++at;
  std::uint32_t result = 0;
  for (; at < value.length && value.text[at] >= '0' && value.text[at] <= '9'; ++at) {
    result = result * 10 + static_cast<std::uint32_t>(value.text[at] - '0');
  }
  return negative ? 0u - result : result;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte at `at` of a hex text, or -1.
int HexByte(const char* at) {
  const int high = HexDigit(at[0]);
  const int low = HexDigit(at[1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Exactly `size` bytes as hex digits and their sum modulo 256 after them;
// anything else leaves `out` as it was.
bool TakeBytes(Span value, void* out, std::uint32_t size) {
  if (value.length != 2 * static_cast<std::size_t>(size) + 2) return false;
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    const int byte = HexByte(value.text + 2 * i);
    if (byte < 0 || (i == size && byte != sum)) return false;
    sum = static_cast<std::uint8_t>(sum + byte);
  }
  auto* bytes = static_cast<std::uint8_t*>(out);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(HexByte(value.text + 2 * i));
  return true;
}

void AppendLine(TextOut& out, Span line) {
  out.Append(line);
  out.Append("\r\n", 2);
}

// "name=value" and its line end.
void AppendEntry(TextOut& out, Span name, const ProfileValue& value) {
  out.Append(name);
  out.Append("=", 1);
  if (value.kind == ProfileValue::Kind::Number) {
    char digits[16];
    out.Append(digits, static_cast<std::size_t>(std::snprintf(digits, sizeof digits, "%u", value.number)));
  } else {
    static constexpr char Digits[] = "0123456789ABCDEF";
    const auto* data = static_cast<const std::uint8_t*>(value.bytes);
    std::uint8_t sum = 0;
    for (std::uint32_t i = 0; i <= value.size; ++i) {
      const std::uint8_t byte = i < value.size ? data[i] : sum;
      const char pair[2] = {Digits[byte >> 4], Digits[byte & 15]};
      out.Append(pair, 2);
      sum = static_cast<std::uint8_t>(sum + byte);
    }
  }
  out.Append("\r\n", 2);
}

}  // namespace

std::size_t MarkLength(Span text) {
  const std::size_t length = sizeof Mark - 1;
  return text.length >= length && std::memcmp(text.text, Mark, length) == 0 ? length : 0;
}

void TextOut::Append(const char* text, std::size_t length) {
  if (full_ || length > capacity_ - length_) {
    full_ = true;
    return;
  }
  std::memcpy(buffer_ + length_, text, length);
  length_ += length;
}

void ReadValues(Span text, const char* section, ProfileValue* values, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    ProfileValue& value = values[i];
    const Place place = Locate(text, section, value.key);
    const bool found = place.key != NoLine;
    if (value.kind == ProfileValue::Kind::Bytes) {
      value.found = found && TakeBytes(place.value, value.bytes, value.size);
    } else if (found && place.value.length != 0) {
      value.number = NumberOf(place.value);
    }
  }
}

void PutValue(Span text, const char* section, const ProfileValue& value, TextOut& out) {
  const Place place = Locate(text, section, value.key);
  const Span name = place.key != NoLine ? place.keyName : Span{value.key, std::strlen(value.key)};
  LineReader lines(text);
  Span line;
  for (std::size_t index = 0; lines.Next(&line); ++index) {
    if (index == place.key) {
      AppendEntry(out, name, value);
    } else {
      AppendLine(out, line);
    }
    if (place.key == NoLine && index == place.lastFilled) AppendEntry(out, name, value);
  }
  if (place.header == NoLine) {
    out.Append("[", 1);
    out.Append(section, std::strlen(section));
    out.Append("]\r\n", 3);
    AppendEntry(out, name, value);
  }
}

}  // namespace os::posix
