#include "settings/params_pattern.h"

#include <cstring>

namespace {

// In the order in which a pattern must name them; tag i has code i + 1.
constexpr const char* Tags[] = {"<len>", "<start>", "<vars>", "<body>", "<flag>", "<attr>"};
constexpr int TagCount = 6;

// Literal text ends up in file names, so it keeps to the printable characters
// that names may hold; '.' would split the name into name and extension.
bool IsLiteral(char c) {
  return c >= 0x20 && c <= 0x7E && std::strchr(".\"<>|\\/?*:", c) == nullptr;
}

// The whole buffer is defined, so records that carry it compare and save
// the same every time.
bool Reject(char out[PatternSize]) {
  std::memset(out, 0, PatternSize);
  return false;
}

}  // namespace

bool CompileParamsPattern(const char* text, char out[PatternSize]) {
  const size_t length = strnlen(text, PatternSize);
  if (length == 0 || length >= PatternSize) return Reject(out);
  size_t written = 0;
  int next = 0;
  for (size_t at = 0; at < length;) {
    if (next < TagCount) {
      const size_t tagLength = std::strlen(Tags[next]);
      if (std::strncmp(text + at, Tags[next], tagLength) == 0) {
        out[written++] = static_cast<char>(next + 1);
        at += tagLength;
        ++next;
        continue;
      }
    }
    if (!IsLiteral(text[at])) return Reject(out);
    out[written++] = text[at++];
  }
  if (next != TagCount) return Reject(out);
  std::memset(out + written, 0, PatternSize - written);
  return true;
}

char* NumberedPattern(Settings& s, std::uint8_t number) { return number == 2 ? s.ParamsPattern2 : s.ParamsPattern1; }

const char* NumberedPattern(const Settings& s, std::uint8_t number) {
  return number == 2 ? s.ParamsPattern2 : s.ParamsPattern1;
}
