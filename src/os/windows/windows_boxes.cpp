// Error boxes over the host's window, and the system's texts of error codes.
#include <windows.h>

#include "os/unicode_text.h"
#include "os/windows/windows_methods.h"
#include "os/windows/windows_wide.h"

namespace os::windows {
namespace {

struct OwnerSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<OwnerSearch*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search->processId && GetWindow(window, GW_OWNER) == nullptr && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The first visible, unowned top-level window of this process: the host's.
HWND FindOwnerWindow() {
  OwnerSearch search{GetCurrentProcessId(), nullptr};
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

void ShowErrorBox(const char* text, const char* caption) {
  const WideText wideText(text);
  const WideText wideCaption(caption);
  if (wideText.Get() == nullptr || wideCaption.Get() == nullptr) return;
  MessageBoxW(FindOwnerWindow(), wideText.Get(), wideCaption.Get(), MB_ICONERROR);
}

// A text too long for `out` is cut at a whole character.
std::uint32_t SystemErrorText(std::uint32_t code, char* out, std::uint32_t size) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  if (length == 0 || text == nullptr || size == 0) {
    if (text != nullptr) LocalFree(text);
    return 0;
  }
  for (DWORD kept = length; !Utf16ToUtf8(text, out, size) && kept > 0;) text[--kept] = L'\0';
  LocalFree(text);
  std::uint32_t written = 0;
  while (out[written] != '\0') ++written;
  return written;
}

}  // namespace os::windows
