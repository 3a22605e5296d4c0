#include "tape/entry_name.h"

#include <algorithm>
#include <cstring>

#include "tape/entry_name_reader.h"
#include "tape/name_digits.h"
#include "tape/name_escape.h"
#include "tape/numbering_limit.h"
#include "tape/rarev_name.h"
#include "tape/type_char.h"

namespace {

constexpr std::uint32_t NameReserve = 50;  // enough for most names in one allocation
constexpr std::size_t HobetaNameLength = 8;
constexpr std::uint32_t MaxHeaderlessDigits = 14;
constexpr Status NameTooLong = ShownFailure("Filename too long");

Status AppendTypeChar(String& s, std::uint8_t type) {
  const std::uint8_t ch = TypeCharOf(type);
  // Read back, a "." would end the name part there and a "$" would be taken for
  // the hobeta mark: either way the type would be lost.
  if (ch == '.' || ch == '$') return AppendEscapeForm(s, ch);
  return EscapeNameChar(s, ch, true);
}

Status AppendNumberPrefix(String& s, const TapeEntry& entry, const Settings& settings) {
  if (entry.index > MaxNumberedIndex) return ShownFailure("Internal error GN39");
  const bool hex = settings.FileNameNumbering == Numbering::Hex;
  const std::uint32_t digits = hex ? HexPrefixDigits : DecimalPrefixDigits;
  Status status = AppendDigits(s, static_cast<std::uint32_t>(entry.index), digits, hex);
  const char* separator = settings.FileNameNumberingSeparator;
  for (std::size_t i = 0; status.IsOk() && i < SeparatorSize && separator[i] != '\0'; ++i) {
    status = EscapeNameChar(s, static_cast<std::uint8_t>(separator[i]), false);
  }
  return status;
}

Status AppendHeaderlessName(String& s, const char* word, const TapeEntry& entry, const TapeImage& image) {
  if (image.headerlessDigits > MaxHeaderlessDigits) return ShownFailure("Error s091");
  const Status status = s.Append(word);
  return status.IsOk() ? AppendDigits(s, entry.headerlessNumber, image.headerlessDigits, false) : status;
}

// Reading a name back drops a number prefix whatever the numbering, so without
// a number a tape name such as "3D GAME" under the separator " " would lose
// "3D". Its first character, a digit or letter, then goes in escape form.
Status KeepFromLookingNumbered(String& s, std::uint32_t start, const Settings& settings) {
  if (SkipNumberPrefix(s.CStr() + start, settings) == 0) return StatusOk;
  const std::uint32_t end = s.length;
  const Status escaped = AppendEscapeForm(s, static_cast<std::uint8_t>(s.data[start]));
  if (escaped.IsFailed()) return escaped;
  std::rotate(s.data + start, s.data + end, s.data + s.length);
  return s.Remove(start + (s.length - end), 1);
}

Status AppendPlainName(String& s, const TapeEntry& entry, const TapeImage& image) {
  const Settings& settings = image.settings;
  const bool numbered = NumberingInForce(settings) != Numbering::None && entry.index != -1;
  Status status = numbered ? AppendNumberPrefix(s, entry, settings) : StatusOk;
  if (status.IsFailed()) return status;
  if (const TapeHeader* header = entry.Header()) {
    const std::uint32_t start = s.length;
    status = TapeFileName(s, *header, entry.extractAsHobeta != 0);
    return status.IsOk() && !numbered ? KeepFromLookingNumbered(s, start, settings) : status;
  }
  status = AppendHeaderlessName(s, "data", entry, image);
  if (status.IsOk() && entry.extractAsHobeta) status = s.Append(".$C");
  return status;
}

Status AppendName(String& s, const TapeEntry& entry, const TapeImage& image) {
  if (!entry.hasRarevRecord) return AppendPlainName(s, entry, image);
  if (entry.headerBlock != nullptr) {
    return RarevFileName(s, RarevRecordOf(entry, image.dosDateTime), image.settings.FileNamingMode);
  }
  return AppendHeaderlessName(s, "headerless", entry, image);
}

}  // namespace

Status TapeFileName(String& s, const TapeHeader& h, bool hobeta) {
  Status status = AppendTapeName(s, h.name, hobeta ? HobetaNameLength : TapeNameLength);
  if (status.IsOk()) status = s.Append(hobeta ? ".$" : ".");
  if (status.IsOk()) status = AppendTypeChar(s, h.type);
  return status;
}

Status AppendDuplicateMark(String& s, std::uint32_t ordinal) {
  if (ordinal == 0) return StatusOk;
  // "[", the digits and "]" in one append: most names of a large image repeat.
  char mark[12];
  std::uint32_t at = sizeof mark;
  mark[--at] = ']';
  for (std::uint32_t n = ordinal + 1; n != 0; n /= 10) mark[--at] = static_cast<char>('0' + n % 10);
  mark[--at] = '[';
  return s.AppendBytes(mark + at, sizeof mark - at);
}

Status FormEntryName(String& s, const TapeEntry& entry, const TapeImage& image, bool withDuplicateMark) {
  s.Clear();
  Status status = AppendName(s, entry, image);
  if (status.IsOk() && withDuplicateMark) status = AppendDuplicateMark(s, entry.duplicateOrdinal);
  if (status.IsFailed()) return status;
  return s.length < EntryNameSize ? StatusOk : NameTooLong;
}

Status CopyEntryName(const char* name, std::uint32_t length, char out[EntryNameSize]) {
  if (length >= EntryNameSize) return NameTooLong;
  std::memcpy(out, name, length);
  out[length] = '\0';
  return StatusOk;
}

Status MakeEntryName(const TapeEntry& entry, const TapeImage& image, char out[EntryNameSize],
                     bool withDuplicateMark) {
  String s;
  s.Reserve(NameReserve);  // a failure here shows in the appends
  const Status status = FormEntryName(s, entry, image, withDuplicateMark);
  return status.IsOk() ? CopyEntryName(s.CStr(), s.length, out) : status;
}
