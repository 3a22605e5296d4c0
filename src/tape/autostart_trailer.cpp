#include "tape/autostart_trailer.h"

namespace {
constexpr std::uint8_t TrailerMark0 = 0x80;
constexpr std::uint8_t TrailerMark1 = 0xAA;
}  // namespace

std::uint16_t AutostartLine(std::uint16_t param1) { return param1 < AutostartLimit ? param1 : 0; }

void WriteAutostartTrailer(std::uint8_t out[AutostartTrailerLength], std::uint16_t line) {
  out[0] = TrailerMark0;
  out[1] = TrailerMark1;
  out[2] = static_cast<std::uint8_t>(line);
  out[3] = static_cast<std::uint8_t>(line >> 8);
}

bool ReadAutostartTrailer(const std::uint8_t* bytes, std::uint64_t size, std::uint64_t offset,
                          std::uint16_t& line) {
  if (offset > size || size - offset < AutostartTrailerLength) return false;
  const std::uint8_t* trailer = bytes + offset;
  if (trailer[0] != TrailerMark0 || trailer[1] != TrailerMark1) return false;
  line = static_cast<std::uint16_t>(trailer[2] | trailer[3] << 8);
  return true;
}
