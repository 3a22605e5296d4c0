#include "tape/rarev_record.h"

#include <cstring>

namespace {

constexpr std::uint8_t RarevKindHeaderOnly = 0x81;
constexpr std::uint8_t RarevKindWithData = 0x83;

}  // namespace

RarevRecord RarevRecordOf(const TapeEntry& entry, std::uint32_t dosDateTime) {
  RarevRecord record{};
  const TapeHeader* header = entry.Header();
  if (header == nullptr) return record;
  record.kind = entry.dataBlock != nullptr ? RarevKindWithData : RarevKindHeaderOnly;
  record.dosDateTime = dosDateTime;
  std::memcpy(&record.header, header, sizeof(TapeHeader));
  record.payloadLength = entry.PayloadLength();
  record.flag = entry.dataBlock != nullptr ? entry.dataBlock[0] : DataFlag;
  return record;
}
