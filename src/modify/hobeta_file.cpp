#include "modify/hobeta_file.h"

#include <algorithm>
#include <cstring>

#include "tape/autostart_trailer.h"
#include "tape/field_roles.h"
#include "tape/hobeta_sectors.h"
#include "tape/type_char.h"

HobetaCheck IsHobetaFile(const std::uint8_t* contents, std::uint64_t size) {
  if (size % HobetaSectorSize != HobetaHeaderSize) return HobetaCheck::NotHobeta;
  HobetaHeader hobeta;
  std::memcpy(&hobeta, contents, HobetaHeaderSize);
  if (HobetaChecksum(contents) != hobeta.checksum) return HobetaCheck::NotHobeta;
  const std::uint32_t dataSize = hobeta.zero | hobeta.sectors << 8;
  return dataSize == size - HobetaHeaderSize ? HobetaCheck::Hobeta : HobetaCheck::BadSize;
}

HobetaTapeFile HeaderFromHobeta(const std::uint8_t* contents, std::uint64_t size, const Settings& settings) {
  HobetaHeader hobeta;
  std::memcpy(&hobeta, contents, HobetaHeaderSize);
  const std::uint8_t* data = contents + HobetaHeaderSize;
  const std::uint32_t dataArea = SectorBytes(hobeta.sectors);

  HobetaTapeFile result{};
  TapeHeader& tape = result.header;
  std::memcpy(tape.name, hobeta.name, sizeof hobeta.name);
  std::memset(tape.name + sizeof hobeta.name, ' ', sizeof tape.name - sizeof hobeta.name);
  result.dataLength = dataArea;
  const HeaderPair pair{hobeta.start, hobeta.length};

  if (hobeta.type == ProgramTypeChar) {
    std::uint16_t line = 0;
    const std::uint64_t searchable = std::min<std::uint64_t>(dataArea, size - HobetaHeaderSize);
    const bool lineRead = hobeta.start >= hobeta.length && ReadAutostartTrailer(data, searchable, hobeta.start, line);
    // A trailer counts only when nothing but the sector fill follows it.
    const bool trailerFound = lineRead && SectorsFor(hobeta.start + AutostartTrailerLength) == hobeta.sectors;
    tape.type = ProgramType;
    SetPair(tape, FieldRoles::Program, pair);
    tape.param1 = lineRead && line != 0 ? line : NoParamValue;
    if (settings.SmartLenDetect && trailerFound) result.dataLength = hobeta.start;
  } else {
    // Only "B" is a program here: a type byte 0 gives tape type 0 with the fields of any other file.
    tape.type = TapeTypeOf(hobeta.type);
    SetPair(tape, FieldRoles::OtherFile, pair);
    tape.param2 = NoParamValue;
    if (settings.SmartLenDetect && SectorsFor(hobeta.length) == hobeta.sectors) result.dataLength = hobeta.length;
  }
  return result;
}
