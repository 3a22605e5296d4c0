#include "tape/rarev_name.h"

#include <algorithm>
#include <cstdint>

#include "tape/name_digits.h"
#include "tape/params_fields.h"

namespace {

constexpr std::int64_t SpaceWidth = 66;

// Widths of 0x20-0x7E in a variable-width font, a space being 66.
constexpr std::uint8_t CharWidthTable[] = {
    66,  69,  88,  137, 137, 220, 165, 47,  82,  82,  96,  144, 69,  82,  69,  69,   // 0x20
    137, 137, 137, 137, 137, 137, 137, 137, 137, 137, 69,  69,  144, 144, 144, 137,  // 0x30
    251, 165, 165, 178, 178, 165, 151, 192, 178, 69,  124, 165, 137, 206, 178, 192,  // 0x40
    165, 192, 178, 165, 151, 178, 165, 233, 165, 165, 151, 69,  69,  69,  116, 136,  // 0x50
    82,  137, 137, 124, 137, 137, 69,  137, 137, 56,  56,  124, 56,  206, 137, 137,  // 0x60
    137, 137, 82,  124, 69,  137, 124, 178, 124, 124, 124, 83,  64,  83,  144,       // 0x70
};
static_assert(sizeof CharWidthTable == 0x7F - 0x20);

std::int64_t CharWidth(char ch) {
  const auto byte = static_cast<std::uint8_t>(ch);
  return byte >= 0x20 && byte <= 0x7E ? CharWidthTable[byte - 0x20] : SpaceWidth;
}

std::uint32_t LeadingSpaces(const char (&pattern)[PatternSize]) {
  std::uint32_t count = 0;
  while (count < PatternSize && pattern[count] == ' ') ++count;
  return count;
}

// Spaces between "name.type" (`text`, `count` characters) and the parameters,
// so that the parameters line up in the column the pattern's indent sets.
std::int64_t GapSpaces(const char* text, std::uint32_t count, const NamingModeGroup& m) {
  const std::int64_t indent = LeadingSpaces(m.CompiledParamsPattern);
  switch (m.ParamsGap) {
    case GapMode::VariableFont: {
      std::int64_t width = 0;
      for (std::uint32_t i = 0; i < count; ++i) width += CharWidth(text[i]);
      return (std::max<std::int64_t>((indent + 2) * SpaceWidth - width, 0) + SpaceWidth / 2) / SpaceWidth + 1;
    }
    case GapMode::FixedFont:
      return std::max<std::int64_t>(indent + 3 - count, 1);
    default:
      return indent + 1;
  }
}

const ParamsField* FindField(char code) {
  for (const ParamsField& field : ParamsFieldTable) {
    if (field.code == code) return &field;
  }
  return nullptr;
}

}  // namespace

Status RarevBaseName(String& s, const char (&name)[TapeNameLength]) { return AppendTapeName(s, name, TapeNameLength); }

Status AppendParams(String& s, const RarevRecord& r, const NamingModeGroup& m) {
  const bool decimal = m.ParamsInDecimal != 0;
  for (std::uint32_t i = LeadingSpaces(m.CompiledParamsPattern); i < PatternSize; ++i) {
    const char ch = m.CompiledParamsPattern[i];
    if (ch == '\0') break;
    const ParamsField* field = FindField(ch);
    const Status appended =
        field != nullptr ? AppendDigits(s, ReadField(r, *field), FieldDigits(*field, decimal), !decimal) : s.AppendChar(ch);
    if (appended.IsFailed()) return appended;
  }
  return StatusOk;
}

Status RarevFileName(String& s, const RarevRecord& r, const NamingModeGroup& m) {
  const std::uint32_t start = s.length;
  Status status = RarevBaseName(s, r.header.name);
  if (status.IsOk()) status = s.AppendChar('.');
  if (status.IsOk()) status = AppendDigits(s, r.header.type, 1, false);
  if (status.IsFailed()) return status;
  const std::int64_t gap = GapSpaces(s.data + start, s.length - start, m);
  for (std::int64_t i = 0; i < gap; ++i) {
    status = s.AppendChar(' ');
    if (status.IsFailed()) return status;
  }
  return AppendParams(s, r, m);
}
