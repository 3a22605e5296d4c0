#include "os/posix/profile_text.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace os::posix {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

Span Trim(Span text) {
  while (text.length > 0 && IsSpace(text.text[0])) {
    ++text.text;
    --text.length;
  }
  while (text.length > 0 && IsSpace(text.text[text.length - 1])) --text.length;
  return text;
}

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

}  // namespace

bool LineReader::Next(Span* line) {
  if (position_ >= text_.length) return false;
  const char* start = text_.text + position_;
  const std::size_t rest = text_.length - position_;
  const void* newline = std::memchr(start, '\n', rest);
  std::size_t length = newline != nullptr ? static_cast<const char*>(newline) - start : rest;
  position_ += length + 1;
  if (length > 0 && start[length - 1] == '\r') --length;
  *line = {start, length};
  return true;
}

bool IsBlank(Span line) { return Trim(line).length == 0; }

Place Locate(Span text, const char* section, const char* key) {
  Place place;
  LineReader lines(text);
  Span line;
  std::size_t index = 0;
  for (; lines.Next(&line); ++index) {
    Span name;
    if (SectionName(line, &name)) {
      if (place.header != NoLine) break;  // the end of the section
      if (SameName(name, section)) place.lastFilled = place.header = index;
      continue;
    }
    if (place.header == NoLine) continue;
    if (!IsBlank(line)) place.lastFilled = index;
    Span value;
    if (key != nullptr && place.key == NoLine && KeyLine(line, &name, &value) && SameName(name, key)) {
      place.key = index;
      place.keyName = name;
      place.value = value;
    }
  }
  if (place.header != NoLine) place.end = index;
  return place;
}

TextBuffer::~TextBuffer() { std::free(data_); }

void TextBuffer::Append(const char* text, std::size_t length) {
  if (failed_ || length == 0) return;
  if (length > capacity_ - length_) {
    std::size_t capacity = capacity_ != 0 ? capacity_ : 256;
    while (capacity - length_ < length) {
      if (capacity > static_cast<std::size_t>(-1) / 2) {
        failed_ = true;
        return;
      }
      capacity *= 2;
    }
    char* grown = static_cast<char*>(std::realloc(data_, capacity));
    if (grown == nullptr) {
      failed_ = true;
      return;
    }
    data_ = grown;
    capacity_ = capacity;
  }
  std::memcpy(data_ + length_, text, length);
  length_ += length;
}

void TextBuffer::Append(const char* text) { Append(text, std::strlen(text)); }

}  // namespace os::posix
