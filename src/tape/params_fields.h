// The six BS-DOS parameters that a compiled pattern names by the codes 1 to 6,
// and where each lies in a RarevRecord.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings.h"
#include "tape/rarev_record.h"

struct ParamsField {
  std::uint8_t code;  // ParamsTag
  std::uint8_t offset;
  std::uint8_t width;  // bytes, little-endian
};

inline constexpr ParamsField ParamsFieldTable[] = {
    {TagLen, 16, 2}, {TagStart, 18, 2}, {TagVars, 20, 2}, {TagBody, 22, 2}, {TagFlag, 28, 1}, {TagAttr, 29, 1},
};
inline constexpr std::size_t ParamsFieldCount = sizeof ParamsFieldTable / sizeof ParamsFieldTable[0];

static_assert(offsetof(RarevRecord, header) + offsetof(TapeHeader, length) == 16);
static_assert(offsetof(RarevRecord, header) + offsetof(TapeHeader, param1) == 18);
static_assert(offsetof(RarevRecord, header) + offsetof(TapeHeader, param2) == 20);
static_assert(offsetof(RarevRecord, body) == 22);
static_assert(offsetof(RarevRecord, flag) == 28);
static_assert(offsetof(RarevRecord, attribute) == 29);

// Digits of a field as it is written: always zero-padded to full width.
inline constexpr std::uint32_t FieldDigits(const ParamsField& field, bool decimal) {
  if (decimal) return field.width == 2 ? 5 : 3;
  return field.width == 2 ? 4 : 2;
}

inline constexpr std::uint32_t FieldMaximum(const ParamsField& field) { return field.width == 2 ? 0xFFFF : 0xFF; }

inline std::uint32_t ReadField(const RarevRecord& record, const ParamsField& field) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record) + field.offset;
  return field.width == 2 ? bytes[0] | (bytes[1] << 8) : bytes[0];
}

inline void WriteField(RarevRecord& record, const ParamsField& field, std::uint32_t value) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(&record) + field.offset;
  bytes[0] = static_cast<std::uint8_t>(value);
  if (field.width == 2) bytes[1] = static_cast<std::uint8_t>(value >> 8);
}
