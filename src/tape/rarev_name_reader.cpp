#include "tape/rarev_name_reader.h"

#include <cstdint>
#include <initializer_list>

#include "tape/entry_name_reader.h"
#include "tape/name_chars.h"
#include "tape/params_fields.h"

namespace {

enum class FieldScan { Found, Missing, Invalid };

bool ReadNumber(const char* p, std::uint32_t digits, bool decimal, std::uint32_t& value) {
  value = 0;
  for (std::uint32_t i = 0; i < digits; ++i) {
    const int digit = decimal ? (IsDecimalDigit(p[i]) ? p[i] - '0' : -1) : UpperHexValue(p[i]);
    if (digit < 0) return false;
    value = value * (decimal ? 10 : 16) + static_cast<std::uint32_t>(digit);
  }
  return true;
}

// Looks for the six fields from the right end leftwards, each wholly left of
// the one found before it; every other character must be printable.
FieldScan FindFields(const char* text, const char* end, bool decimal, RarevRecord& record) {
  std::size_t found = 0;
  const char* limit = end;
  for (const char* p = end; p > text;) {
    --p;
    if (found < ParamsFieldCount) {
      const ParamsField& field = ParamsFieldTable[ParamsFieldCount - 1 - found];
      const std::uint32_t digits = FieldDigits(field, decimal);
      std::uint32_t value;
      if (static_cast<std::size_t>(limit - p) >= digits && ReadNumber(p, digits, decimal, value) &&
          value <= FieldMaximum(field)) {
        WriteField(record, field, value);
        limit = p;
        ++found;
        continue;
      }
    }
    if (!IsPrintableAscii(static_cast<std::uint8_t>(*p))) return FieldScan::Invalid;
  }
  return found == ParamsFieldCount ? FieldScan::Found : FieldScan::Missing;
}

// Reads the type after the dot, the gap and the parameters into `record`.
bool ParseTypeAndParams(const char* p, const char* end, RarevRecord& record) {
  std::uint32_t type = 0;
  const char* digits = p;
  for (; p < end && IsDecimalDigit(*p); ++p) {
    type = type * 10 + static_cast<std::uint32_t>(*p - '0');
    if (type > 0xFF) return false;
  }
  if (p == digits || p == end || *p != ' ') return false;
  while (p < end && *p == ' ') ++p;
  record.header.type = static_cast<std::uint8_t>(type);
  for (const bool decimal : {true, false}) {
    const FieldScan scan = FindFields(p, end, decimal, record);
    if (scan != FieldScan::Missing) return scan == FieldScan::Found;
  }
  return false;
}

void FillNameField(RarevRecord& record, const char* p, const char* end) {
  std::size_t count = 0;
  while (p < end && count < TapeNameLength) {
    std::uint8_t byte;
    if (!DecodeEscape(p, end, byte)) {
      byte = TakeNameChar(p, end);
      if (!IsPrintableAscii(byte)) byte = '?';
    }
    record.header.name[count++] = static_cast<char>(byte);
  }
  while (count < TapeNameLength) record.header.name[count++] = ' ';
}

}  // namespace

void ParseParamsName(const char* name, std::size_t length, RarevRecord& record, bool& found) {
  found = false;
  const char* end = DropDuplicateMark(name, name + length);
  const char* nameEnd = end;
  const char* extension = end;  // after the last dot
  while (extension > name && extension[-1] != '.') --extension;
  if (extension > name) {
    RarevRecord parsed = record;
    if (ParseTypeAndParams(extension, end, parsed)) {
      record = parsed;
      found = true;
      nameEnd = extension - 1;
    }
  }
  FillNameField(record, name, nameEnd);
}
