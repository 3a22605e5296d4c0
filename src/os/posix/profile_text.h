// The text of a profile ("INI") file, read as the Windows profile calls read
// it: "[section]" headers and "key=value" lines, names matched without regard
// to case, blanks around names and values left out, lines starting with ';'
// comments, and of a name used twice only the first. "\n", "\r\n" and a
// lone "\r" each end a line; every line written ends with "\r\n".
#pragma once

#include <cstddef>
#include <cstdint>

#include "os/os.h"

namespace os::posix {

// A piece of text, not NUL-terminated.
struct Span {
  const char* text;
  std::size_t length;
};

// The length of the UTF-8 byte-order mark at the start of `text`, or 0.
std::size_t MarkLength(Span text);

// Text put into a buffer of fixed capacity; what does not fit marks it full.
class TextOut {
 public:
  TextOut(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}
  void Append(const char* text, std::size_t length);
  void Append(Span text) { Append(text.text, text.length); }
  bool Full() const { return full_; }
  Span Text() const { return {buffer_, length_}; }

 private:
  char* buffer_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool full_ = false;
};

// Takes what the section of `text` holds for each value (ProfileValue says how).
void ReadValues(Span text, const char* section, ProfileValue* values, std::uint32_t count);

// `text` with `value` put into its section, into `out`: a key that is there
// keeps its spelling and its line; a new key goes after the section's last
// non-blank line, a new section at the end of the text.
void PutValue(Span text, const char* section, const ProfileValue& value, TextOut& out);

}  // namespace os::posix
