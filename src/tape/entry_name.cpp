#include "tape/entry_name.h"

#include <cstring>

#include "tape/name_digits.h"
#include "tape/name_escape.h"
#include "tape/rarev_name.h"

namespace {

constexpr std::uint32_t NameReserve = 50;  // enough for most names in one allocation
constexpr std::size_t HobetaNameLength = 8;
constexpr std::int32_t MaxNumberedIndex = 255;
constexpr std::uint32_t MaxHeaderlessDigits = 14;

// Type 0 and 3 read as "B" and "C"; any other type is its own byte.
Status AppendTypeChar(String& s, std::uint8_t type) {
  const std::uint8_t ch = type == ProgramType ? 'B' : type == CodeType ? 'C' : type;
  // An extension that starts with "$" reads back as a hobeta mark, which would lose this type.
  if (ch == '$') return AppendEscapeForm(s, ch);
  return EscapeNameChar(s, ch, true);
}

Status AppendNumberPrefix(String& s, const TapeEntry& entry, const Settings& settings) {
  if (entry.index > MaxNumberedIndex) return ShownFailure("Internal error GN39");
  const bool hex = settings.FileNameNumbering == 1;
  Status status = AppendDigits(s, static_cast<std::uint32_t>(entry.index), hex ? 2 : 3, hex);
  const char* separator = settings.FileNameNumberingSeparator;
  for (std::size_t i = 0; status.IsOk() && i < SeparatorSize && separator[i] != '\0'; ++i) {
    status = EscapeNameChar(s, static_cast<std::uint8_t>(separator[i]), false);
  }
  return status;
}

Status AppendHeaderlessName(String& s, const char* word, const TapeEntry& entry, const ArchiveHandle& handle) {
  if (handle.headerlessDigits > MaxHeaderlessDigits) return ShownFailure("Error s091");
  const Status status = s.Append(word);
  return status.IsOk() ? AppendDigits(s, entry.headerlessNumber, handle.headerlessDigits, false) : status;
}

Status AppendPlainName(String& s, const TapeEntry& entry, const ArchiveHandle& handle) {
  const Settings& settings = handle.settings;
  Status status = StatusOk;
  if (!settings.RarevCompatible && settings.FileNameNumbering != 0 && entry.index != -1) {
    status = AppendNumberPrefix(s, entry, settings);
  }
  if (status.IsFailed()) return status;
  if (const TapeHeader* header = entry.Header()) return TapeFileName(s, *header, entry.extractAsHobeta != 0);
  status = AppendHeaderlessName(s, "data", entry, handle);
  if (status.IsOk() && entry.extractAsHobeta) status = s.Append(".$C");
  return status;
}

Status AppendName(String& s, const TapeEntry& entry, const ArchiveHandle& handle) {
  if (!entry.hasRarevRecord) return AppendPlainName(s, entry, handle);
  if (entry.headerBlock != nullptr) return RarevFileName(s, entry.rarevRecord, handle.settings.FileNamingMode);
  return AppendHeaderlessName(s, "headerless", entry, handle);
}

Status AppendDuplicateMark(String& s, std::uint32_t ordinal) {
  Status status = s.AppendChar('[');
  if (status.IsOk()) status = AppendDigits(s, ordinal + 1, 1, false);
  if (status.IsOk()) status = s.AppendChar(']');
  return status;
}

}  // namespace

Status TapeFileName(String& s, const TapeHeader& h, bool hobeta) {
  Status status = AppendTapeName(s, h.name, hobeta ? HobetaNameLength : TapeNameLength);
  if (status.IsOk()) status = s.Append(hobeta ? ".$" : ".");
  if (status.IsOk()) status = AppendTypeChar(s, h.type);
  return status;
}

Status MakeEntryName(const TapeEntry& entry, const ArchiveHandle& handle, char out[EntryNameSize],
                     bool withDuplicateMark) {
  String s;
  s.Reserve(NameReserve);  // a failure here shows in the appends
  Status status = AppendName(s, entry, handle);
  if (status.IsOk() && withDuplicateMark && entry.duplicateOrdinal > 0) {
    status = AppendDuplicateMark(s, entry.duplicateOrdinal);
  }
  if (status.IsFailed()) return status;
  if (s.length >= EntryNameSize) return ShownFailure("Filename too long");
  std::memcpy(out, s.CStr(), s.length + 1);
  return StatusOk;
}
