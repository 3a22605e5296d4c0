// Any bytes as a settings file, saved and read back through the system's
// profile store. A save is followed by a read that gives every value saved,
// and a second save of the same values changes no byte; the save keeps the
// byte-order mark, ends every line with "\r\n", keeps every line outside the
// section and every line inside it but the first of each key saved. A file
// the store may not take (too large) reads as none and is never replaced.
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_directory.h"
#include "os/os.h"

namespace {

constexpr const char* Section = "Doved";
constexpr std::size_t Limit = 64 * 1024;
constexpr char Mark[] = "\xEF\xBB\xBF";

std::string directory;
std::string path;

void RemoveDirectory() {
  unlink(path.c_str());
  rmdir(directory.c_str());
}

void MakeDirectory() {
  directory = MakeFuzzDirectory("doved_settings_fuzz");
  path = directory + "/Doved.cfg";
  std::atexit(RemoveDirectory);
}

void StoreBytes(const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
  FUZZ_CHECK(std::fclose(file) == 0);
}

std::string StoredBytes() {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  FUZZ_CHECK(file != nullptr);
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) != 0;) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

// The values of one save: two numbers and two byte blocks.
struct Values {
  std::uint32_t numbers[2];
  std::uint8_t separator[9];
  std::uint8_t pattern[200];
  bool found[2];
};

std::vector<os::ProfileValue> Table(Values& v) {
  using Kind = os::ProfileValue::Kind;
  return {{"FileNameNumbering", Kind::Number, v.numbers[0], nullptr, 0, false},
          {"FileNameNumberingSeparator", Kind::Bytes, 0, v.separator, sizeof v.separator, false},
          {"ParamsPatternN", Kind::Number, v.numbers[1], nullptr, 0, false},
          {"ParamsPattern1", Kind::Bytes, 0, v.pattern, sizeof v.pattern, false}};
}

Values Read() {
  Values v{};
  v.numbers[0] = v.numbers[1] = 0xDEADBEEF;
  std::vector<os::ProfileValue> table = Table(v);
  os::Native.ReadProfile(path.c_str(), Section, table.data(), static_cast<std::uint32_t>(table.size()));
  v.numbers[0] = table[0].number;
  v.numbers[1] = table[2].number;
  v.found[0] = table[1].found;
  v.found[1] = table[3].found;
  return v;
}

std::uint32_t Write(Values v) {
  const std::vector<os::ProfileValue> table = Table(v);
  return os::Native.WriteProfile(path.c_str(), Section, table.data(), static_cast<std::uint32_t>(table.size()));
}

// Values that follow from the input, so that each run saves others.
Values Chosen(const std::string& input) {
  std::uint32_t hash = 2166136261u;
  for (const char c : input) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  Values v{};
  v.numbers[0] = hash;
  v.numbers[1] = hash % 3;
  for (std::size_t i = 0; i < sizeof v.separator; ++i) v.separator[i] = static_cast<std::uint8_t>(hash >> i);
  for (std::size_t i = 0; i < sizeof v.pattern; ++i) v.pattern[i] = static_cast<std::uint8_t>(hash * i);
  return v;
}

bool SameValues(const Values& a, const Values& b) {
  return a.numbers[0] == b.numbers[0] && a.numbers[1] == b.numbers[1] &&
         std::memcmp(a.separator, b.separator, sizeof a.separator) == 0 &&
         std::memcmp(a.pattern, b.pattern, sizeof a.pattern) == 0;
}

// A second reading of the text, on its own terms: lines end at "\r\n", "\n"
// or "\r"; a line that starts with '[' after blanks is a header, named up to
// its first ']'; a key line has a name before its first '='.
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
  std::size_t from = 0;
  std::size_t to = text.size();
  while (from < to && IsBlank(text[from])) ++from;
  while (to > from && IsBlank(text[to - 1])) --to;
  return text.substr(from, to - from);
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

bool HeaderName(const std::string& line, std::string* name) {
  const std::string trimmed = Trimmed(line);
  if (trimmed.empty() || trimmed[0] != '[') return false;
  const std::size_t close = trimmed.find(']');
  *name = Trimmed(trimmed.substr(1, close == std::string::npos ? close : close - 1));
  return true;
}

std::string KeyName(const std::string& line) {
  const std::string trimmed = Trimmed(line);
  if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[' || trimmed.find('=') == std::string::npos) return "";
  return Trimmed(trimmed.substr(0, trimmed.find('=')));
}

// The lines of a text (after its mark) that a save of `keys` must keep, in
// order: all but the first line of each key in the first section named
// Section, and the header of that section when the text has none.
std::vector<std::string> Kept(const std::string& text, const std::vector<os::ProfileValue>& keys) {
  std::vector<std::string> kept;
  std::vector<bool> seen(keys.size(), false);
  int state = 0;  // 0 before the section, 1 in it, 2 after it
  for (const std::string& line : Lines(text)) {
    std::string name;
    if (HeaderName(line, &name)) {
      if (state == 1) state = 2;
      if (state == 0 && SameFolded(name, Section)) state = 1;
    } else if (state == 1) {
      const std::string key = KeyName(line);
      bool first = false;
      for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!seen[i] && SameFolded(key, keys[i].key)) first = seen[i] = true;
      }
      if (first) continue;
    }
    kept.push_back(line);
  }
  if (state == 0) kept.push_back("[" + std::string(Section) + "]");
  return kept;
}

std::string WithoutMark(const std::string& bytes) { return bytes.rfind(Mark, 0) == 0 ? bytes.substr(3) : bytes; }

bool EveryLineEndsWithCrLf(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return text.empty() || text.back() == '\n';
}

bool OnlyTheFileIsThere() {
  std::size_t names = 0;
  // The directory holds the file and, during a save only, a file beside it.
  if (DIR* dir = opendir(directory.c_str())) {
    while (const dirent* entry = readdir(dir)) names += entry->d_name[0] != '.';
    closedir(dir);
  }
  return names == 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  MakeDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  StoreBytes(input);
  Values values = Chosen(input);
  const Values none = Read();
  if (size > Limit) {
    FUZZ_CHECK(none.numbers[0] == 0xDEADBEEF && none.numbers[1] == 0xDEADBEEF && !none.found[0] && !none.found[1]);
    FUZZ_CHECK(Write(values) == EFBIG && StoredBytes() == input);
    return 0;
  }
  const std::uint32_t saved = Write(values);
  if (saved == EFBIG) {  // the text would outgrow what a read takes
    FUZZ_CHECK(StoredBytes() == input && OnlyTheFileIsThere());
    return 0;
  }
  FUZZ_CHECK(saved == 0 && OnlyTheFileIsThere());
  const std::string first = StoredBytes();
  FUZZ_CHECK(first.size() <= Limit);
  const Values back = Read();
  FUZZ_CHECK(SameValues(back, values) && back.found[0] && back.found[1]);

  const bool marked = input.rfind(Mark, 0) == 0;
  FUZZ_CHECK((first.rfind(Mark, 0) == 0) == marked);
  FUZZ_CHECK(EveryLineEndsWithCrLf(WithoutMark(first)));
  const std::vector<os::ProfileValue> keys = Table(values);
  FUZZ_CHECK(Kept(WithoutMark(first), keys) == Kept(WithoutMark(input), keys));

  FUZZ_CHECK(Write(values) == 0 && StoredBytes() == first);
  return 0;
}
