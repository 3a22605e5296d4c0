// The text of a profile ("INI") file: lines, "[section]" headers and
// "key=value" lines, with the same reading as the Windows profile calls:
// names are matched without regard to case, blanks around names and values
// do not count, and lines starting with ';' are comments.
#pragma once

#include <cstddef>

namespace os::posix {

// A piece of text, not NUL-terminated.
struct Span {
  const char* text;
  std::size_t length;
};

// Splits a text into lines, without their "\n" or "\r\n".
class LineReader {
 public:
  explicit LineReader(Span text) : text_(text) {}
  bool Next(Span* line);

 private:
  Span text_;
  std::size_t position_ = 0;
};

bool IsBlank(Span line);

constexpr std::size_t NoLine = static_cast<std::size_t>(-1);

// Where a key stands in a text. Only the first section of the name counts,
// and within it the first line of the key.
struct Place {
  std::size_t header = NoLine;      // the section's header line
  std::size_t end = NoLine;         // the line after the section's last
  std::size_t lastFilled = NoLine;  // the section's last non-blank line, the header at least
  std::size_t key = NoLine;         // the key's line
  Span keyName{};                   // the key as the file spells it
  Span value{};                     // its value, without blanks around it
};

// `key` may be null: then only the section is looked for.
Place Locate(Span text, const char* section, const char* key);

// A growing text on the C heap. An append that cannot get memory marks the
// buffer failed and adds nothing from then on.
class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  ~TextBuffer();

  void Append(const char* text, std::size_t length);
  void Append(const char* text);
  void Append(Span text) { Append(text.text, text.length); }

  bool Failed() const { return failed_; }
  Span Text() const { return {data_, length_}; }

 private:
  char* data_ = nullptr;
  std::size_t length_ = 0;
  std::size_t capacity_ = 0;
  bool failed_ = false;
};

}  // namespace os::posix
