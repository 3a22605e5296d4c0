// The header rules, in their order of precedence: a BS-DOS parameter list in
// the name, a hobeta file, then a plain file whose name gives name and type
// and whose creation time may carry the two header values a name cannot.
#include "modify/tape_file_plan.h"

#include <cstring>

#include "modify/hobeta_file.h"
#include "tape/autostart_trailer.h"
#include "tape/entry_name_reader.h"
#include "tape/field_roles.h"
#include "tape/hobeta_sectors.h"
#include "tape/rarev_name_reader.h"
#include "tape/time_code.h"
#include "tape/type_char.h"

namespace {

void WholeFileIsData(TapeFilePlan& plan, std::uint32_t size) {
  plan.dataOffset = 0;
  plan.dataLength = size;
}

// A program's extracted form may end in an autostart trailer, possibly
// followed by the zero fill of a hobeta sector; both are dropped again.
// False, with the header to be set anew, when the time code's pair cannot be
// a program's: its part without variables must lie within its length, and
// its length within the file.
bool PlanProgram(const std::uint8_t* contents, std::uint32_t size, const DecodedTimeCode& time, TapeHeader& header,
                 std::uint32_t& dataLength) {
  header.param1 = NoParamValue;
  header.param2 = static_cast<std::uint16_t>(size);
  if (time.kind == DecodedTimeCode::Pair) {
    SetPair(header, FieldRoles::Program, time.PairValues());
    if (header.param2 > header.length || header.length > size) return false;
  }
  const std::uint32_t length = header.length;
  std::uint16_t line;
  if (!ReadAutostartTrailer(contents, size, length, line)) return true;
  // Line 0 is how extraction writes "no autostart": the trailer is still one.
  if (line != 0) header.param1 = line;
  const std::uint32_t withTrailer = length + AutostartTrailerLength;
  if (size == withTrailer || size == SectorBytes(SectorsFor(withTrailer))) dataLength = length;
  return true;
}

void PlanPlainFile(const std::uint8_t* contents, std::uint32_t size, const DecodedTimeCode& time,
                   std::size_t extLength, TapeFilePlan& plan) {
  TapeHeader& header = plan.header;
  WholeFileIsData(plan, size);
  header.length = static_cast<std::uint16_t>(size);
  const bool program = extLength == 1 && header.type == ProgramType;
  if (program && PlanProgram(contents, size, time, header, plan.dataLength)) return;
  header.param1 = 0;
  header.param2 = NoParamValue;
  if (time.kind == DecodedTimeCode::Pair) SetPair(header, FieldRoles::OtherFile, time.PairValues());
}

}  // namespace

Status PlanTapeFile(const char* entryName, const std::uint8_t* contents, std::uint32_t size,
                    std::uint64_t creationTime, const Settings& settings, TapeFilePlan& plan) {
  std::memset(&plan, 0, sizeof plan);
  plan.dataFlag = DataFlag;
  const DecodedTimeCode time = DecodeTimeCode(creationTime);
  if (IsHeaderlessName(entryName, time.kind == DecodedTimeCode::Headerless, settings)) {
    WholeFileIsData(plan, size);
    return StatusOk;
  }
  plan.hasHeader = true;

  RarevRecord record{};
  bool listed = false;
  ParseParamsName(entryName, std::strlen(entryName), record, listed);
  if (listed) {
    plan.header = record.header;
    // The list names the data block's flag too: a custom loader's block keeps it.
    plan.dataFlag = record.flag;
    WholeFileIsData(plan, size);
    return StatusOk;
  }

  const ParsedEntryName parsed = ParseEntryName(entryName, settings);
  if (parsed.hobetaMark) {
    const HobetaCheck check = IsHobetaFile(contents, size);
    if (check == HobetaCheck::BadSize) return BadHobetaSize;
    if (check == HobetaCheck::Hobeta) {
      const HobetaTapeFile hobeta = HeaderFromHobeta(contents, size, settings);
      plan.header = hobeta.header;
      plan.dataOffset = HobetaHeaderSize;
      plan.dataLength = hobeta.dataLength;
      return StatusOk;
    }
  }

  plan.header.type = TapeTypeOfExtension(parsed.typeChar, parsed.extLength);
  std::memcpy(plan.header.name, parsed.name, TapeNameLength);
  PlanPlainFile(contents, size, time, parsed.extLength, plan);
  return StatusOk;
}
