#include "os/windows/windows_wide.h"

#include <cstring>
#include <cwchar>

#include "os/unicode_text.h"

namespace os::windows {
namespace {

// Paths from here on need the \\?\ form; the calls that make directories stop 12 units short of MAX_PATH.
constexpr DWORD LongPathFrom = MAX_PATH - 12;

wchar_t* AllocateUnits(std::size_t units) {
  auto* text = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, units * sizeof(wchar_t)));
  if (text == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return text;
}

bool StartsWith(const wchar_t* text, const wchar_t* start) {
  return std::wcsncmp(text, start, std::wcslen(start)) == 0;
}

// The whole path of `path` behind \\?\, or behind \\?\UNC\ for a share.
wchar_t* LongForm(const wchar_t* path) {
  const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
  if (needed == 0) return nullptr;
  constexpr std::size_t PrefixUnits = 8;  // \\?\UNC\, the longer prefix
  wchar_t* text = AllocateUnits(needed + PrefixUnits);
  if (text == nullptr) return nullptr;
  wchar_t* full = text + PrefixUnits;
  const DWORD length = GetFullPathNameW(path, needed, full, nullptr);
  if (length == 0 || length >= needed) {
    HeapFree(GetProcessHeap(), 0, text);
    return nullptr;
  }
  // \\server\share becomes \\?\UNC\server\share: the share's own two backslashes give way.
  const bool share = StartsWith(full, L"\\\\");
  const wchar_t* prefix = share ? L"\\\\?\\UNC\\" : L"\\\\?\\";
  const std::size_t prefixUnits = std::wcslen(prefix);
  const std::size_t skipped = share ? 2 : 0;
  std::memmove(text + prefixUnits, full + skipped, (length - skipped + 1) * sizeof(wchar_t));
  std::memcpy(text, prefix, prefixUnits * sizeof(wchar_t));
  return text;
}

}  // namespace

WideText::WideText(const char* utf8) {
  // A UTF-16 form never takes more units than its UTF-8 form takes bytes.
  const std::size_t units = std::strlen(utf8) + 1;
  text_ = AllocateUnits(units);
  if (text_ != nullptr && !Utf8ToUtf16(utf8, text_, static_cast<std::uint32_t>(units))) {
    HeapFree(GetProcessHeap(), 0, text_);
    text_ = nullptr;
    SetLastError(ERROR_INVALID_PARAMETER);
  }
}

WideText::~WideText() {
  if (text_ != nullptr) HeapFree(GetProcessHeap(), 0, text_);
}

WidePath::WidePath(const char* utf8) : WideText(utf8) {
  if (text_ == nullptr || std::wcslen(text_) < LongPathFrom || StartsWith(text_, L"\\\\?\\") ||
      StartsWith(text_, L"\\\\.\\")) {
    return;
  }
  wchar_t* longForm = LongForm(text_);
  HeapFree(GetProcessHeap(), 0, text_);
  text_ = longForm;
}

}  // namespace os::windows
