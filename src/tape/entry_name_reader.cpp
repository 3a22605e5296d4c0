#include "tape/entry_name_reader.h"

#include <cstring>

#include "os/unicode_text.h"
#include "support/path_text.h"
#include "tape/name_chars.h"
#include "tape/numbering_limit.h"
#include "tape/type_char.h"

namespace {

constexpr std::size_t MaxHeaderlessNumberDigits = 10;

bool IsHeaderlessNumber(const char* text) {
  std::size_t digits = 0;
  while (IsDecimalDigit(text[digits])) ++digits;
  return text[digits] == '\0' && digits >= 1 && digits <= MaxHeaderlessNumberDigits;
}

bool IsPrefixDigit(char ch, std::size_t width) {
  return IsDecimalDigit(ch) || (width == HexPrefixDigits && ch >= 'A' && ch <= 'F');
}

}  // namespace

bool IsHeaderlessName(const char* name, bool headerlessTime, const Settings& s) {
  if (std::strncmp(name, "headerless", 10) == 0) return IsHeaderlessNumber(name + 10);
  const char* rest = name + SkipNumberPrefix(name, s);
  return headerlessTime && std::strncmp(rest, "data", 4) == 0 && IsHeaderlessNumber(rest + 4);
}

std::size_t SkipNumberPrefix(const char* name, const Settings& s) {
  if (!IsPrefixDigit(name[0], HexPrefixDigits)) return 0;
  const char* separator = s.FileNameNumberingSeparator;
  std::size_t separatorLength = 0;
  while (separatorLength < SeparatorSize && separator[separatorLength] != '\0') ++separatorLength;
  for (std::size_t width = HexPrefixDigits; width <= DecimalPrefixDigits; ++width) {
    std::size_t digits = 0;
    while (digits < width && IsPrefixDigit(name[digits], width)) ++digits;
    if (digits == width && std::strncmp(name + width, separator, separatorLength) == 0) {
      return width + separatorLength;
    }
  }
  return 0;
}

bool DecodeEscape(const char*& p, const char* end, std::uint8_t& out) {
  if (end - p < 3 || p[0] != '#') return false;
  const int high = UpperHexValue(p[1]);
  const int low = UpperHexValue(p[2]);
  if (high < 0 || low < 0) return false;
  out = static_cast<std::uint8_t>(high << 4 | low);
  p += 3;
  return true;
}

bool DecodeNameChar(const char*& p, const char* end, std::uint8_t* out) {
  if (p >= end) return false;
  std::uint8_t byte;
  if (!DecodeEscape(p, end, byte)) byte = TakeNameChar(p, end);
  if (out != nullptr) *out = byte;
  return true;
}

std::uint8_t TakeNameChar(const char*& p, const char* end) {
  const auto byte = static_cast<std::uint8_t>(*p);
  if (byte < 0x80) {
    ++p;
    return byte;
  }
  // A tape name holds no such character: a whole UTF-8 form reads as one
  // "?", whatever the host's encoding; a stray byte as one of its own.
  const std::uint32_t length = os::Utf8SequenceLength(p, end);
  p += length != 0 ? length : 1;
  return '?';
}

const char* DropDuplicateMark(const char* start, const char* end) {
  if (end - start < 3 || end[-1] != ']') return end;
  const char* digits = end - 1;
  while (digits > start && IsDecimalDigit(digits[-1])) --digits;
  const bool hasDigits = digits < end - 1;
  return hasDigits && digits > start && digits[-1] == '[' ? digits - 1 : end;
}

ParsedEntryName ParseEntryName(const char* path, const Settings& s) {
  const char* start = LastPathComponent(path);
  const char* end = start + std::strlen(start);
  start += SkipNumberPrefix(start, s);
  end = DropDuplicateMark(start, end);

  ParsedEntryName parsed{};
  parsed.typeChar = CodeTypeChar;
  std::memset(parsed.name, ' ', TapeNameLength);

  const char* extension = end;  // after the last dot
  while (extension > start && extension[-1] != '.') --extension;
  const bool hasExtension = extension > start;
  const char* nameEnd = hasExtension ? extension - 1 : end;
  std::uint8_t byte;
  if (hasExtension) {
    const char* p = extension;
    if (s.DetectHobeta && p < end && *p == '$') {
      parsed.hobetaMark = true;
      ++p;
      parsed.extLength = 1;
    }
    for (bool first = true; DecodeNameChar(p, end, &byte); first = false) {
      if (first) parsed.typeChar = byte;
      ++parsed.extLength;
    }
  }

  for (const char* p = start; DecodeNameChar(p, nameEnd, &byte); ++parsed.nameLength) {
    if (parsed.nameLength < TapeNameLength) parsed.name[parsed.nameLength] = byte;
  }
  return parsed;
}
