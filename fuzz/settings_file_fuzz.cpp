// Any bytes as a settings file, saved and read back through the system's
// profile store. A save is followed by a read that gives every value saved,
// and a second save of the same values changes no byte; the save keeps the
// byte-order mark, ends every line with "\r\n", keeps every line outside the
// section and every line inside it but the first of each key saved. A file
// the store may not take (too large) reads as none and is never replaced.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_directory.h"
#include "os/os.h"

namespace {

constexpr const char* Section = "Doved";
constexpr std::size_t Limit = 64 * 1024;
constexpr char Mark[] = "\xEF\xBB\xBF";
constexpr std::uint32_t Unread = 0xDEADBEEF;

std::string directory;
std::string path;

void StoreBytes(const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  FUZZ_CHECK(!file.fail());
}

std::string StoredBytes() {
  std::ifstream file(path, std::ios::binary);
  FUZZ_CHECK(file.is_open());
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The values of one save, two numbers and two byte blocks, as the store's table.
struct Values {
  using Kind = os::ProfileValue::Kind;
  std::uint8_t separator[9]{};
  std::uint8_t pattern[200]{};
  os::ProfileValue table[4] = {{"FileNameNumbering", Kind::Number, Unread, nullptr, 0, false},
                               {"FileNameNumberingSeparator", Kind::Bytes, 0, separator, sizeof separator, false},
                               {"ParamsPatternN", Kind::Number, Unread, nullptr, 0, false},
                               {"ParamsPattern1", Kind::Bytes, 0, pattern, sizeof pattern, false}};
  Values() = default;
  Values(const Values&) = delete;  // the table points into it

  void Read() { os::Native.ReadProfile(path.c_str(), Section, table, 4); }
  std::uint32_t Write() const { return os::Native.WriteProfile(path.c_str(), Section, table, 4); }
  bool operator==(const Values& o) const {
    return table[0].number == o.table[0].number && table[2].number == o.table[2].number &&
           std::memcmp(separator, o.separator, sizeof separator) == 0 &&
           std::memcmp(pattern, o.pattern, sizeof pattern) == 0;
  }
};

// Values that follow from the input, so that each run saves others.
void Choose(const std::string& input, Values& v) {
  std::uint32_t hash = 2166136261u;
  for (const char c : input) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  v.table[0].number = hash;
  v.table[2].number = hash % 3;
  for (std::size_t i = 0; i < sizeof v.separator; ++i) v.separator[i] = static_cast<std::uint8_t>(hash >> i);
  for (std::size_t i = 0; i < sizeof v.pattern; ++i) v.pattern[i] = static_cast<std::uint8_t>(hash * i);
}

// A second reading of the text, on its own terms: lines end at "\r\n", "\n"
// or "\r"; a line that starts with '[' after blanks is a header, named up to
// its first ']'; a key line has a name before its first '='.
std::string Trimmed(const std::string& text) {
  const std::size_t from = text.find_first_not_of(" \t");
  return from == std::string::npos ? "" : text.substr(from, text.find_last_not_of(" \t") + 1 - from);
}

bool SameFolded(const std::string& a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// The lines of a text (after its mark) that a save of `keys` must keep, in
// order: all but the first line of each key in the first section named
// Section, and the header of that section when the text has none.
std::vector<std::string> Kept(const std::string& text, const Values& keys) {
  std::vector<std::string> kept;
  bool seen[4] = {};
  int state = 0;  // 0 before the section, 1 in it, 2 after it
  for (const std::string& line : Lines(text)) {
    const std::string trimmed = Trimmed(line);
    if (trimmed.starts_with('[')) {
      if (state == 1) state = 2;
      if (state == 0 && SameFolded(Trimmed(trimmed.substr(1, trimmed.find(']') - 1)), Section)) state = 1;
    } else if (state == 1 && !trimmed.starts_with(';') && trimmed.find('=') != std::string::npos) {
      const std::string key = Trimmed(trimmed.substr(0, trimmed.find('=')));
      bool first = false;
      for (std::size_t i = 0; i < 4; ++i) {
        if (!seen[i] && SameFolded(key, keys.table[i].key)) first = seen[i] = true;
      }
      if (first) continue;
    }
    kept.push_back(line);
  }
  if (state == 0) kept.push_back("[" + std::string(Section) + "]");
  return kept;
}

std::string WithoutMark(const std::string& bytes) { return bytes.rfind(Mark, 0) == 0 ? bytes.substr(3) : bytes; }

// The directory holds the file and, during a save only, a file beside it.
bool OnlyTheFileIsThere() {
  using Names = std::filesystem::directory_iterator;
  return std::distance(Names(directory), Names()) == 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  directory = MakeFuzzDirectory("doved_settings_fuzz");
  path = directory + "/Doved.cfg";
  std::atexit([] {
    unlink(path.c_str());
    rmdir(directory.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  StoreBytes(input);
  Values values;
  Choose(input, values);
  Values none;
  none.Read();
  const std::uint32_t saved = values.Write();
  if (size > Limit || saved == EFBIG) {  // or the text would outgrow what a read takes
    FUZZ_CHECK(size <= Limit || (none == Values() && !none.table[1].found && !none.table[3].found));
    FUZZ_CHECK(saved == EFBIG && StoredBytes() == input && OnlyTheFileIsThere());
    return 0;
  }
  FUZZ_CHECK(saved == 0 && OnlyTheFileIsThere());
  const std::string first = StoredBytes();
  FUZZ_CHECK(first.size() <= Limit);
  Values back;
  back.Read();
  FUZZ_CHECK(back == values && back.table[1].found && back.table[3].found);

  FUZZ_CHECK((first.rfind(Mark, 0) == 0) == (input.rfind(Mark, 0) == 0));
  std::string crlf;
  for (const std::string& line : Lines(WithoutMark(first))) crlf += line + "\r\n";
  FUZZ_CHECK(crlf == WithoutMark(first));  // every line, the last too, ends with "\r\n"
  FUZZ_CHECK(Kept(WithoutMark(first), values) == Kept(WithoutMark(input), values));

  FUZZ_CHECK(values.Write() == 0 && StoredBytes() == first);
  return 0;
}
