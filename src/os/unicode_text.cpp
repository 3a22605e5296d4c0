#include "os/unicode_text.h"

namespace os {
namespace {

constexpr Utf16Unit Replacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The lead byte's payload bits and the code point of a valid form.
char32_t CodePoint(const unsigned char* p, std::uint32_t length) {
  static constexpr unsigned char LeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t point = p[0] & LeadBits[length];
  for (std::uint32_t i = 1; i < length; ++i) point = point << 6 | (p[i] & 0x3F);
  return point;
}

// Writes `point` as UTF-8 at `out` when `room` holds it; the bytes it takes.
std::uint32_t EncodeUtf8(char32_t point, char* out, std::uint32_t room) {
  std::uint32_t length = point < 0x80 ? 1 : point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
  if (length > room) return 0;
  static constexpr unsigned char LeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  for (std::uint32_t i = length - 1; i > 0; --i) {
    out[i] = static_cast<char>(0x80 | (point & 0x3F));
    point >>= 6;
  }
  out[0] = static_cast<char>(LeadMarks[length] | point);
  return length;
}

}  // namespace

std::uint32_t Utf8SequenceLength(const char* text, const char* end) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const auto available = static_cast<std::uint32_t>(end - text);
  if (available == 0) return 0;
  const unsigned char lead = p[0];
  if (lead < 0x80) return 1;
  std::uint32_t length;
  unsigned char low = 0x80;  // the range of the second byte: overlong forms and points past U+10FFFF are none
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (available < length || p[1] < low || p[1] > high) return 0;
  for (std::uint32_t i = 2; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  return length;
}

bool Utf8ToUtf16(const char* text, Utf16Unit* out, std::uint32_t size) {
  const char* end = text;
  while (*end != '\0') ++end;
  std::uint32_t written = 0;
  for (const char* p = text; p < end;) {
    const std::uint32_t length = Utf8SequenceLength(p, end);
    const char32_t point = length == 0 ? Replacement : CodePoint(reinterpret_cast<const unsigned char*>(p), length);
    p += length == 0 ? 1 : length;
    const std::uint32_t units = point >= 0x10000 ? 2 : 1;
    if (written + units >= size) return false;
    if (units == 2) {
      out[written++] = static_cast<Utf16Unit>(0xD800 + ((point - 0x10000) >> 10));
      out[written++] = static_cast<Utf16Unit>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      out[written++] = static_cast<Utf16Unit>(point);
    }
  }
  if (written >= size) return false;
  out[written] = u'\0';
  return true;
}

bool Utf16ToUtf8(const Utf16Unit* text, char* out, std::uint32_t size) {
  std::uint32_t written = 0;
  for (const Utf16Unit* p = text; *p != u'\0'; ++p) {
    char32_t point = *p;
    if (IsHighSurrogate(point) && IsLowSurrogate(p[1])) {
      point = 0x10000 + ((point - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    }
    const std::uint32_t length = EncodeUtf8(point, out + written, size > written ? size - written : 0);
    if (length == 0) return false;
    written += length;
  }
  if (written >= size) return false;
  out[written] = '\0';
  return true;
}

std::uint32_t Utf16Length(const Utf16Unit* text) {
  std::uint32_t length = 0;
  while (text[length] != u'\0') ++length;
  return length;
}

}  // namespace os
