// Error boxes over the host's window, and the system's texts of error codes.
#include <windows.h>

#include "os/windows/windows_methods.h"

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

void ShowErrorBox(const char* text, const char* caption) { MessageBoxA(FindOwnerWindow(), text, caption, MB_ICONERROR); }

std::uint32_t SystemErrorText(std::uint32_t code, char* out, std::uint32_t size) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0 || text == nullptr || size == 0) {
    if (text != nullptr) LocalFree(text);
    return 0;
  }
  const std::uint32_t kept = length < size ? length : size - 1;
  for (std::uint32_t i = 0; i < kept; ++i) out[i] = text[i];
  out[kept] = '\0';
  LocalFree(text);
  return kept;
}

}  // namespace os::windows
