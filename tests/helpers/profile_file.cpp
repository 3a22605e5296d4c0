#include "helpers/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "helpers/file_contents.h"

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsHeader(const std::string& line) { return !line.empty() && line.front() == '['; }

bool IsKeyLine(const std::string& line, const std::string& key) { return line.rfind(key + "=", 0) == 0; }

}  // namespace

std::string StructText(const void* bytes, std::size_t size) {
  const auto* data = static_cast<const unsigned char*>(bytes);
  std::string out;
  unsigned sum = 0;
  char digits[3];
  for (std::size_t i = 0; i <= size; ++i) {
    const unsigned byte = i < size ? data[i] : sum & 0xFF;
    std::snprintf(digits, sizeof digits, "%02X", byte);
    out += digits;
    sum += byte;
  }
  return out;
}

std::string FieldText(const std::string& text, std::size_t size) {
  std::string bytes = text;
  bytes.resize(size, '\0');
  return StructText(bytes.data(), size);
}

void StoreProfileKey(const std::string& path, const std::string& key, const std::string& value,
                     const std::string& section) {
  std::vector<std::string> lines = LinesOf(FileBytes(path));  // none for a missing file
  auto at = std::find(lines.begin(), lines.end(), "[" + section + "]");
  if (at == lines.end()) at = lines.insert(at, "[" + section + "]");
  const auto end = std::find_if(at + 1, lines.end(), IsHeader);
  const auto line = std::find_if(at + 1, end, [&](const std::string& each) { return IsKeyLine(each, key); });
  if (line != end) *line = key + "=" + value;
  else lines.insert(end, key + "=" + value);
  std::string text;
  for (const std::string& each : lines) text += each + "\r\n";
  StoreFile(path, text);
}

std::optional<std::string> StoredProfileValue(const std::string& path, const std::string& key,
                                              const std::string& section) {
  bool inSection = false;
  for (const std::string& line : LinesOf(FileBytes(path))) {
    if (IsHeader(line)) inSection = line == "[" + section + "]";
    else if (inSection && IsKeyLine(line, key)) return line.substr(key.size() + 1);
  }
  return std::nullopt;
}
