#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/process.h"
#include "platform/posix/profile.h"

namespace {

using Lines = std::vector<std::string>;

// One read-modify-write at a time, as Windows serialises its profile calls.
std::mutex profileMutex;
std::atomic<unsigned> tempCounter{0};

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(']')));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

// A missing file reads as an empty one; lines lose their "\r\n" or "\n".
bool ReadLines(const char* path, Lines& lines) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return errno == ENOENT || Fail(posix_files::ErrorFromErrnoForPath(errno, path));
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool readFailed = std::ferror(file) != 0;
  std::fclose(file);
  if (readFailed) return Fail(ERROR_READ_FAULT);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return true;
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The new text goes into a file beside the old one that then replaces it, so
// a failure leaves the old file whole.
bool WriteLines(const char* path, const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  std::string tempPath;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    tempPath = std::string(path) + "." + std::to_string(getpid()) + "." + std::to_string(tempCounter++) + ".tmp";
    fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Fail(posix_files::ErrorFromErrnoForPath(errno, tempPath));
  }
  if (fd < 0) return Fail(ERROR_ALREADY_EXISTS);
  struct stat old{};
  if (stat(path, &old) == 0) fchmod(fd, old.st_mode & 07777);
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(tempPath.c_str(), path) != 0) {
    const int error = written && closed ? errno : writeError;
    unlink(tempPath.c_str());
    return Fail(posix_files::ErrorFromErrnoForPath(error, path));
  }
  return true;
}

// The lines of one section: its header and the lines up to the next header.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::optional<SectionSpan> FindSection(const Lines& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string_view> name = SectionName(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

constexpr size_t NoLine = static_cast<size_t>(-1);

// The line of the key within the section, or NoLine.
size_t FindKey(const Lines& lines, const std::optional<SectionSpan>& span, std::string_view key) {
  if (!span) return NoLine;
  for (size_t i = span->header + 1; i < span->end; ++i) {
    const std::optional<KeyLine> parsed = ParseKeyLine(lines[i]);
    if (parsed && SameName(parsed->key, key)) return i;
  }
  return NoLine;
}

// The key's trimmed value, or nothing when the file, section or key is missing.
std::optional<std::string> ReadValue(LPCSTR section, LPCSTR key, LPCSTR path) {
  if (section == nullptr || key == nullptr || path == nullptr) {
    Fail(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  Lines lines;
  {
    std::lock_guard lock(profileMutex);
    if (!ReadLines(path, lines)) return std::nullopt;
  }
  const size_t line = FindKey(lines, FindSection(lines, section), key);
  if (line == NoLine) {
    Fail(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  return std::string(ParseKeyLine(lines[line])->value);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR path) {
  const std::optional<std::string> value = ReadValue(section, key, path);
  if (!value || value->empty()) return static_cast<UINT>(defaultValue);
  // Like Windows: optional sign, decimal digits up to the first other character.
  const char* p = value->c_str();
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  UINT result = 0;
  for (; *p >= '0' && *p <= '9'; ++p) result = result * 10 + static_cast<UINT>(*p - '0');
  return negative ? 0u - result : result;
}

BOOL GetPrivateProfileStructA(LPCSTR section, LPCSTR key, LPVOID bytes, UINT size, LPCSTR path) {
  const std::optional<std::string> value = ReadValue(section, key, path);
  if (!value) return FALSE;
  if (value->size() != 2 * static_cast<size_t>(size) + 2) return Fail(ERROR_BAD_LENGTH);
  std::vector<BYTE> decoded(size + 1);
  BYTE sum = 0;
  for (size_t i = 0; i <= size; ++i) {
    const int high = HexDigit((*value)[2 * i]);
    const int low = HexDigit((*value)[2 * i + 1]);
    if (high < 0 || low < 0) return Fail(ERROR_INVALID_DATA);
    decoded[i] = static_cast<BYTE>(high * 16 + low);
    if (i < size) sum = static_cast<BYTE>(sum + decoded[i]);
  }
  if (decoded[size] != sum) return Fail(ERROR_INVALID_DATA);
  std::copy(decoded.begin(), decoded.end() - 1, static_cast<BYTE*>(bytes));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR path) {
  if (section == nullptr || path == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(profileMutex);
  Lines lines;
  if (!ReadLines(path, lines)) return FALSE;
  const std::optional<SectionSpan> span = FindSection(lines, section);
  if (key == nullptr) {
    if (!span) return TRUE;
    lines.erase(lines.begin() + static_cast<ptrdiff_t>(span->header), lines.begin() + static_cast<ptrdiff_t>(span->end));
    return WriteLines(path, lines);
  }
  const size_t line = FindKey(lines, span, key);
  if (text == nullptr) {
    if (line == NoLine) return TRUE;
    lines.erase(lines.begin() + static_cast<ptrdiff_t>(line));
    return WriteLines(path, lines);
  }
  if (line != NoLine) {
    // The key keeps the spelling it has in the file.
    lines[line] = std::string(ParseKeyLine(lines[line])->key) + "=" + text;
    return WriteLines(path, lines);
  }
  const std::string entry = std::string(key) + "=" + text;
  if (span) {
    // After the section's last non-blank line, so blank separators stay between sections.
    size_t at = span->end;
    while (at > span->header + 1 && Trim(lines[at - 1]).empty()) --at;
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(at), entry);
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
  return WriteLines(path, lines);
}

BOOL WritePrivateProfileStructA(LPCSTR section, LPCSTR key, LPCVOID bytes, UINT size, LPCSTR path) {
  if (bytes == nullptr) return WritePrivateProfileStringA(section, key, nullptr, path);
  static constexpr char Digits[] = "0123456789ABCDEF";
  const BYTE* data = static_cast<const BYTE*>(bytes);
  std::string text;
  text.reserve(2 * static_cast<size_t>(size) + 2);
  BYTE sum = 0;
  const auto append = [&text](BYTE b) {
    text.push_back(Digits[b >> 4]);
    text.push_back(Digits[b & 15]);
  };
  for (UINT i = 0; i < size; ++i) {
    append(data[i]);
    sum = static_cast<BYTE>(sum + data[i]);
  }
  append(sum);
  return WritePrivateProfileStringA(section, key, text.c_str(), path);
}
