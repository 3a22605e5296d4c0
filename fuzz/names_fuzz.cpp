// Names read back from any bytes, and the names entries are listed under
// read back and formed again.
//
// The input is a name (up to the first NUL, at most 259 bytes), then,
// optionally, a NUL and a numbering separator (up to the next NUL, at most 8
// bytes), then a NUL and the bytes that choose the rest: a tape header, the
// data block's flag, the entry's number, its duplicate ordinal, a headerless
// number and digits, the hobeta detection and the headerless time mark.
//
// The readers must stay inside the name and keep their promises about what
// they read. Every header made from the input (the input's own header bytes,
// and the headers that the input name reads back to) is then listed in each
// naming mode, read back as packing reads it and listed again: the second
// name must equal the first, and what was read back must be what the form
// carries.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "helpers/tap_builder.h"
#include "os/unicode_text.h"
#include "settings/params_pattern.h"
#include "settings/settings.h"
#include "tape/entry_name.h"
#include "tape/entry_name_reader.h"
#include "tape/rarev_name_reader.h"
#include "tape/tape_image.h"
#include "tape/type_char.h"

namespace {

constexpr std::size_t MaxNameLength = EntryNameSize - 1;
constexpr std::size_t MaxSeparatorLength = SeparatorSize - 1;
constexpr const char* DefaultSeparator = "!   ";
constexpr std::uint32_t MaxHeaderlessDigits = 6;  // of at most 100000 entries

struct Input {
  std::string name;
  std::optional<std::string> separator;
  TapeHeader header{};
  std::optional<std::uint8_t> dataFlag = DataFlag;  // none: a header alone
  std::uint8_t index = 0;
  std::uint32_t ordinal = 0;
  std::uint32_t headerlessNumber = 1;
  std::uint32_t headerlessDigits = 1;
  bool detectHobeta = true;
  bool headerlessTime = false;
  RarevRecord record{};  // what a read of the parameter form starts from
};

Input Split(const std::uint8_t* data, std::size_t size) {
  Input in;
  const std::uint8_t* end = data + size;
  const std::uint8_t* nameEnd = std::find(data, end, 0);
  in.name.assign(data, std::min(nameEnd, data + MaxNameLength));
  if (nameEnd == end) return in;
  const std::uint8_t* separator = nameEnd + 1;
  const std::uint8_t* separatorEnd = std::find(separator, end, 0);
  in.separator.emplace(separator, std::min(separatorEnd, separator + MaxSeparatorLength));
  if (separatorEnd == end) return in;

  FuzzedDataProvider rest(separatorEnd + 1, static_cast<std::size_t>(end - separatorEnd - 1));
  rest.ConsumeData(&in.header, sizeof in.header);
  rest.ConsumeData(&in.record, sizeof in.record);
  const std::uint8_t flag = rest.ConsumeIntegral<std::uint8_t>();
  in.dataFlag = rest.ConsumeBool() ? std::nullopt : std::optional<std::uint8_t>(flag);
  in.index = rest.ConsumeIntegral<std::uint8_t>();
  in.ordinal = rest.ConsumeIntegralInRange<std::uint32_t>(0, MaxEntries - 1);
  in.headerlessDigits = rest.ConsumeIntegralInRange<std::uint32_t>(1, MaxHeaderlessDigits);
  std::uint32_t limit = 1;
  for (std::uint32_t i = 0; i < in.headerlessDigits; ++i) limit *= 10;
  in.headerlessNumber = rest.ConsumeIntegralInRange<std::uint32_t>(1, std::min(limit - 1, MaxEntries));
  in.detectHobeta = rest.ConsumeBool();
  in.headerlessTime = rest.ConsumeBool();
  return in;
}

// Settings of the plain mode; `hobeta` lists entries as hobeta files.
Settings PlainSettings(int numbering, const std::string& separator, bool hobeta, bool detectHobeta) {
  Settings s = DefaultSettings();
  s.RarevCompatible = false;
  s.FileNameNumbering = static_cast<Numbering>(numbering);
  std::memset(s.FileNameNumberingSeparator, 0, SeparatorSize);
  std::memcpy(s.FileNameNumberingSeparator, separator.data(), std::min(separator.size(), MaxSeparatorLength));
  s.ExtractHobeta = hobeta;
  s.DetectHobeta = detectHobeta;
  return s;
}

// Settings of the "Rarev compatible" mode with default pattern 1 or 2.
Settings RarevSettings(int pattern, int gap, bool decimal) {
  Settings s = DefaultSettings();
  s.RarevCompatible = true;
  s.ParamsPatternN = static_cast<std::uint8_t>(pattern);
  s.FileNamingMode.ParamsGap = static_cast<GapMode>(gap);
  s.FileNamingMode.ParamsInDecimal = decimal ? 1 : 0;
  FUZZ_CHECK(CompileParamsPattern(pattern == 2 ? s.ParamsPattern2 : s.ParamsPattern1,
                                  s.FileNamingMode.CompiledParamsPattern));
  return s;
}

// Whether a separator byte stands in a name as itself, not in escape form.
bool StandsAsItself(char ch) {
  const auto byte = static_cast<std::uint8_t>(ch);
  return byte >= 0x20 && byte < 0x7F && byte != '#' && std::strchr("\"<>|\\/?*:", ch) == nullptr;
}

// Whether the number prefix of a numbered name can be told from the name
// after it. It cannot when the separator is written in escape form, nor when
// three decimal digits are followed by no separator or one starting with a
// digit: then two digits and a separator read as a prefix too.
bool PrefixReadable(const Settings& s) {
  if (s.FileNameNumbering == Numbering::None) return true;
  const std::string separator = s.FileNameNumberingSeparator;
  if (!std::all_of(separator.begin(), separator.end(), StandsAsItself)) return false;
  return s.FileNameNumbering != Numbering::Dec || (!separator.empty() && !(separator[0] >= '0' && separator[0] <= '9'));
}

// "0"-"9" and "A"-"F": escapes are written in upper case only.
int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  return ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : -1;
}

std::size_t TrimmedLength(const char (&name)[TapeNameLength]) {
  std::size_t length = TapeNameLength;
  while (length > 0 && name[length - 1] == ' ') --length;
  return length;
}

tap_builder::Bytes HeaderBytes(const TapeHeader& header) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
  return tap_builder::Bytes(bytes, bytes + sizeof header);
}

// The name under which the scan of an image holding `header` (and a data
// block with `dataFlag`, or none) lists it, as entry `index` with `ordinal`
// earlier namesakes. A data block of 2 bytes is never taken for a header.
std::string ListedName(const TapeHeader& header, std::optional<std::uint8_t> dataFlag, const Settings& s,
                       std::uint8_t index, std::uint32_t ordinal) {
  tap_builder::Bytes image = tap_builder::Block(HeaderFlag, HeaderBytes(header));
  if (dataFlag) {
    const tap_builder::Bytes data = tap_builder::DataBlock({0x5A, 0xA5}, *dataFlag);
    image.insert(image.end(), data.begin(), data.end());
  }
  TapeImage tape;
  FUZZ_CHECK(ScanImage(tape, image.data(), image.size(), s, 0x5A3B6C4D).IsOk() && tape.entries.count == 1);
  TapeEntry entry = tape.entries.items[0];
  FUZZ_CHECK(entry.Header() != nullptr && std::memcmp(entry.Header(), &header, sizeof header) == 0);
  entry.index = index;
  entry.duplicateOrdinal = ordinal;
  char name[EntryNameSize];
  std::memset(name, 0x7F, sizeof name);
  FUZZ_CHECK(MakeEntryName(entry, tape, name, true).IsOk());
  FUZZ_CHECK(std::memchr(name, '\0', sizeof name) != nullptr);
  return name;
}

// The listed name of a headerless block numbered `number` of `digits` digits.
std::string HeaderlessListedName(const Settings& s, std::uint8_t index, std::uint32_t number, std::uint32_t digits) {
  const tap_builder::Bytes image = tap_builder::DataBlock({1, 2, 3});
  TapeImage tape;
  FUZZ_CHECK(ScanImage(tape, image.data(), image.size(), s, 0).IsOk() && tape.entries.count == 1);
  TapeEntry entry = tape.entries.items[0];
  FUZZ_CHECK(entry.Header() == nullptr && entry.headerlessNumber == 1 && tape.headerlessDigits == 1);
  entry.index = index;
  entry.headerlessNumber = number;
  tape.headerlessDigits = digits;
  char name[EntryNameSize];
  FUZZ_CHECK(MakeEntryName(entry, tape, name, true).IsOk());
  return name;
}

// What every listed name is made of: characters that a file name may hold.
void CheckNameChars(const std::string& name) {
  FUZZ_CHECK(!name.empty() && name.size() <= MaxNameLength);
  for (const char ch : name) FUZZ_CHECK(StandsAsItself(ch) || ch == '#');
}

// The readers on one name, `name` bytes held in buffers of exactly their size
// so that a read past the end shows.
void CheckReaders(const std::string& name, const Settings& s, bool headerlessTime, const RarevRecord& start) {
  const std::size_t length = name.size();
  const std::unique_ptr<char[]> text(new char[length + 1]);
  std::memcpy(text.get(), name.data(), length);
  text[length] = '\0';
  const std::size_t textLength = std::strlen(text.get());  // a name ends at its first NUL

  // A prefix is two or three digits and the separator as stored.
  const std::size_t prefix = SkipNumberPrefix(text.get(), s);
  const std::size_t separatorLength = std::strlen(s.FileNameNumberingSeparator);
  if (prefix != 0) {
    FUZZ_CHECK(prefix <= textLength && (prefix == separatorLength + 2 || prefix == separatorLength + 3));
    FUZZ_CHECK(std::memcmp(text.get() + prefix - separatorLength, s.FileNameNumberingSeparator, separatorLength) == 0);
    for (std::size_t i = 0; i < prefix - separatorLength; ++i) {
      FUZZ_CHECK((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'A' && text[i] <= 'F'));
    }
  }

  // The time mark can only add headerless names; every one ends in its number.
  const bool headerlessByName = IsHeaderlessName(text.get(), false, s);
  const bool headerless = IsHeaderlessName(text.get(), headerlessTime, s);
  if (headerlessByName) FUZZ_CHECK(headerless && IsHeaderlessName(text.get(), !headerlessTime, s));
  if (headerless) FUZZ_CHECK(textLength > 4 && text[textLength - 1] >= '0' && text[textLength - 1] <= '9');

  // One name byte at a time: a three-byte escape, one ASCII byte, or one
  // character beyond ASCII as "?" (its whole UTF-8 form, or one stray byte),
  // never past the end.
  const std::unique_ptr<char[]> exact(new char[length]);
  std::memcpy(exact.get(), name.data(), length);
  const char* end = exact.get() + length;
  for (const char* p = exact.get();;) {
    const char* from = p;
    const char* skipped = p;
    std::uint8_t byte = 0;
    const bool more = DecodeNameChar(p, end, &byte);
    FUZZ_CHECK(DecodeNameChar(skipped, end, nullptr) == more && skipped == p);
    if (!more) {
      FUZZ_CHECK(p == end);
      break;
    }
    const bool escape = end - from >= 3 && from[0] == '#' && HexValue(from[1]) >= 0 && HexValue(from[2]) >= 0;
    const auto ch = static_cast<std::uint8_t>(from[0]);
    const std::uint32_t form = os::Utf8SequenceLength(from, end);
    FUZZ_CHECK(ch < 0x80 || form != 1);
    FUZZ_CHECK(p == from + (escape ? 3 : ch >= 0x80 && form != 0 ? form : 1));
    FUZZ_CHECK(byte == (escape ? HexValue(from[1]) * 16 + HexValue(from[2]) : ch >= 0x80 ? '?' : ch));
  }

  // The plain form: at most every byte of the name read, the duplicate mark
  // and a path before it dropped.
  const ParsedEntryName parsed = ParseEntryName(text.get(), s);
  FUZZ_CHECK(parsed.nameLength + parsed.extLength <= textLength);
  if (parsed.hobetaMark) FUZZ_CHECK(s.DetectHobeta && parsed.extLength >= 1);
  if (parsed.extLength == 0 || (parsed.hobetaMark && parsed.extLength == 1)) FUZZ_CHECK(parsed.typeChar == 'C');
  for (std::size_t i = parsed.nameLength; i < TapeNameLength; ++i) FUZZ_CHECK(parsed.name[i] == ' ');
  if (std::strpbrk(text.get(), "/\\") == nullptr) {
    const std::string path = std::string("C:\\images/") + text.get();
    const ParsedEntryName inFolder = ParseEntryName(path.c_str(), s);
    FUZZ_CHECK(inFolder.typeChar == parsed.typeChar && inFolder.hobetaMark == parsed.hobetaMark &&
               inFolder.nameLength == parsed.nameLength && inFolder.extLength == parsed.extLength &&
               std::memcmp(inFolder.name, parsed.name, TapeNameLength) == 0);
  }

  // The parameter form: the record changes only when a list is found, apart
  // from its name field, which is always filled.
  RarevRecord record = start;
  bool found = true;
  ParseParamsName(exact.get(), length, record, found);
  const auto* before = reinterpret_cast<const std::uint8_t*>(&start);
  const auto* after = reinterpret_cast<const std::uint8_t*>(&record);
  constexpr std::size_t nameAt = offsetof(RarevRecord, header) + offsetof(TapeHeader, name);
  if (!found) {
    FUZZ_CHECK(std::memcmp(before, after, nameAt) == 0);
    FUZZ_CHECK(std::memcmp(before + nameAt + TapeNameLength, after + nameAt + TapeNameLength,
                           sizeof record - nameAt - TapeNameLength) == 0);
  } else {
    FUZZ_CHECK(std::memchr(exact.get(), '.', length) != nullptr);
  }
  // Without an escape every name byte is printable.
  if (std::memchr(exact.get(), '#', length) == nullptr) {
    for (const char ch : record.header.name) FUZZ_CHECK(ch >= 0x20 && ch < 0x7F);
  }
}

// What packing reads back from a plain-mode name: the type and the tape name.
// A hobeta file's own header gives its type character as the extension after
// "$" does.
TapeHeader ReadPlain(const std::string& name, const Settings& s, const TapeHeader& rest, ParsedEntryName& parsed) {
  parsed = ParseEntryName(name.c_str(), s);
  TapeHeader header = rest;
  header.type = TapeTypeOfExtension(parsed.typeChar, parsed.extLength - (parsed.hobetaMark ? 1 : 0));
  std::memcpy(header.name, parsed.name, TapeNameLength);
  return header;
}

// A listed plain-mode name is neither headerless nor a parameter list, which
// packing would try first.
void CheckPlainHeaderName(const std::string& name, const Settings& s) {
  CheckNameChars(name);
  FUZZ_CHECK(name.back() != ' ');
  FUZZ_CHECK(!IsHeaderlessName(name.c_str(), true, s));
  RarevRecord record{};
  bool found = true;
  ParseParamsName(name.data(), name.size(), record, found);
  FUZZ_CHECK(!found);
}

void PlainFixpoint(const TapeHeader& original, const Settings& s, const Input& in) {
  const bool hobeta = s.ExtractHobeta;
  const bool readable = PrefixReadable(s);
  const std::string first = ListedName(original, in.dataFlag, s, in.index, in.ordinal);
  CheckPlainHeaderName(first, s);
  ParsedEntryName parsed;
  const TapeHeader back = ReadPlain(first, s, original, parsed);
  const std::string second = ListedName(back, in.dataFlag, s, in.index, in.ordinal);
  CheckPlainHeaderName(second, s);
  if (!readable) return;  // the prefix's text is read as part of the tape name

  // The name carries the type and the tape name, in hobeta mode its first 8
  // bytes, trailing spaces dropped.
  const std::size_t trimmed = TrimmedLength(original.name);
  const std::size_t kept = hobeta ? std::min<std::size_t>(trimmed, 8) : trimmed;
  FUZZ_CHECK(parsed.nameLength == kept);
  FUZZ_CHECK(std::memcmp(back.name, original.name, kept) == 0);
  for (std::size_t i = kept; i < TapeNameLength; ++i) FUZZ_CHECK(back.name[i] == ' ');
  // The type comes back, but a type whose byte is another type's character
  // comes back as that other type: the name cannot tell the two apart.
  FUZZ_CHECK(back.type == original.type || TypeCharOf(back.type) == original.type);
  FUZZ_CHECK(parsed.hobetaMark == hobeta && parsed.extLength == (hobeta ? 2u : 1u));

  // Cutting a name to 8 bytes can leave spaces at its end, which the next
  // name drops; nothing else changes from one name to the next.
  const bool cutLeavesSpaces = hobeta && trimmed > 8 && original.name[7] == ' ';
  if (!cutLeavesSpaces) FUZZ_CHECK(second == first);
  ParsedEntryName parsedAgain;
  const TapeHeader again = ReadPlain(second, s, back, parsedAgain);
  FUZZ_CHECK(std::memcmp(&again, &back, sizeof again) == 0);
  FUZZ_CHECK(ListedName(again, in.dataFlag, s, in.index, in.ordinal) == second);
}

void RarevFixpoint(const TapeHeader& original, std::optional<std::uint8_t> dataFlag, const Settings& s,
                   const Input& in) {
  const std::string first = ListedName(original, dataFlag, s, 0, in.ordinal);
  CheckNameChars(first);
  FUZZ_CHECK(!IsHeaderlessName(first.c_str(), true, s));
  RarevRecord record{};
  bool found = false;
  ParseParamsName(first.data(), first.size(), record, found);
  FUZZ_CHECK(found);
  // The form carries the whole header and the data block's flag.
  FUZZ_CHECK(std::memcmp(&record.header, &original, sizeof original) == 0);
  FUZZ_CHECK(record.body == 0 && record.attribute == 0 && record.flag == dataFlag.value_or(DataFlag));
  // Packed, the file gets a data block with the flag read back.
  FUZZ_CHECK(ListedName(record.header, record.flag, s, 0, in.ordinal) == first);
}

void HeaderlessNames(const Settings& s, const Input& in) {
  const std::string name = HeaderlessListedName(s, in.index, in.headerlessNumber, in.headerlessDigits);
  CheckNameChars(name);
  RarevRecord record{};
  bool found = true;
  ParseParamsName(name.data(), name.size(), record, found);
  FUZZ_CHECK(!found);
  if (s.RarevCompatible) {
    FUZZ_CHECK(IsHeaderlessName(name.c_str(), false, s));
  } else if (s.ExtractHobeta) {
    // A hobeta-mode name is packed as a file of type "C" named "dataN".
    FUZZ_CHECK(!IsHeaderlessName(name.c_str(), true, s));
    const ParsedEntryName parsed = ParseEntryName(name.c_str(), s);
    FUZZ_CHECK(parsed.typeChar == 'C' && parsed.hobetaMark == s.DetectHobeta);
  } else {
    FUZZ_CHECK(!IsHeaderlessName(name.c_str(), false, s));
    if (PrefixReadable(s)) FUZZ_CHECK(IsHeaderlessName(name.c_str(), true, s));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input in = Split(data, size);
  std::vector<std::string> separators = {DefaultSeparator};
  if (in.separator && *in.separator != DefaultSeparator) separators.push_back(*in.separator);

  for (const std::string& separator : separators) {
    for (const bool detect : {false, true}) {
      CheckReaders(in.name, PlainSettings(0, separator, false, detect), in.headerlessTime, in.record);
    }
  }

  // The headers made from the input: its own bytes, and what its name reads
  // back to in either form.
  const Settings reading = PlainSettings(0, separators.back(), false, in.detectHobeta);
  ParsedEntryName parsed;
  const TapeHeader fromPlainName = ReadPlain(in.name, reading, in.header, parsed);
  RarevRecord record = in.record;
  bool found = false;
  ParseParamsName(in.name.data(), in.name.size(), record, found);
  const TapeHeader headers[] = {in.header, fromPlainName, record.header};

  for (int numbering = 0; numbering <= 2; ++numbering) {
    for (const std::string& separator : separators) {
      for (const bool hobeta : {false, true}) {
        // Hobeta names are read back as such only while hobeta files are detected.
        const Settings s = PlainSettings(numbering, separator, hobeta, hobeta || in.detectHobeta);
        for (const TapeHeader& header : headers) PlainFixpoint(header, s, in);
        HeaderlessNames(s, in);
      }
    }
  }
  for (int pattern = 1; pattern <= 2; ++pattern) {
    for (int gap = 1; gap <= 3; ++gap) {
      for (const bool decimal : {false, true}) {
        const Settings s = RarevSettings(pattern, gap, decimal);
        RarevFixpoint(in.header, in.dataFlag, s, in);
        RarevFixpoint(fromPlainName, in.dataFlag, s, in);
        RarevFixpoint(record.header, record.flag, s, in);
        HeaderlessNames(s, in);
      }
    }
  }
  return 0;
}
