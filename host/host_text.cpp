#include "host/host_text.h"

#include "os/unicode_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

WideString WideOf(const std::string& utf8) {
  WideString wide(utf8.size() + 1, 0);
  if (!os::Utf8ToUtf16(utf8.c_str(), wide.data(), static_cast<std::uint32_t>(wide.size()))) return {};
  wide.resize(os::Utf16Length(wide.c_str()));
  return wide;
}

std::string Utf8Of(const WCHAR* wide) {
  std::string utf8(3 * static_cast<std::size_t>(os::Utf16Length(wide)) + 1, '\0');
  if (!os::Utf16ToUtf8(wide, utf8.data(), static_cast<std::uint32_t>(utf8.size()))) return {};
  return utf8.c_str();
}

#ifdef _WIN32
std::string AnsiOf(const std::string& utf8) {
  const WideString wide = WideOf(utf8);
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  return ansi.c_str();
}

void Utf8OfAnsi(const char* ansi, std::string& utf8) {
  const int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  WideString wide(units > 0 ? static_cast<std::size_t>(units) : 1, 0);
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), units);
  utf8 = Utf8Of(wide.c_str());
}
#else
std::string AnsiOf(const std::string& utf8) { return utf8; }
void Utf8OfAnsi(const char* ansi, std::string& utf8) { utf8.assign(ansi); }
#endif

std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
