// The host's ANSI strings are in the system's ANSI code page; Doved's own text is UTF-8.
#include <windows.h>

#include "os/unicode_text.h"
#include "os/windows/windows_methods.h"
#include "os/windows/windows_wide.h"

namespace os::windows {
namespace {

// Room in UTF-16 for the ANSI text: never more units than bytes.
class AnsiAsWide {
 public:
  explicit AnsiAsWide(const char* ansi) {
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (units <= 0) return;
    text_ = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(units) * sizeof(wchar_t)));
    if (text_ != nullptr && MultiByteToWideChar(CP_ACP, 0, ansi, -1, text_, units) != units) {
      HeapFree(GetProcessHeap(), 0, text_);
      text_ = nullptr;
    }
  }
  ~AnsiAsWide() {
    if (text_ != nullptr) HeapFree(GetProcessHeap(), 0, text_);
  }
  AnsiAsWide(const AnsiAsWide&) = delete;
  AnsiAsWide& operator=(const AnsiAsWide&) = delete;

  const wchar_t* Get() const { return text_; }

 private:
  wchar_t* text_ = nullptr;
};

}  // namespace

bool AnsiToUtf8(const char* text, char* out, std::uint32_t size) {
  const AnsiAsWide wide(text);
  return wide.Get() != nullptr && Utf16ToUtf8(wide.Get(), out, size);
}

bool Utf8ToAnsi(const char* text, char* out, std::uint32_t size) {
  const WideText wide(text);
  if (wide.Get() == nullptr || size == 0) return false;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.Get(), -1, out, static_cast<int>(size), nullptr, nullptr);
  return bytes > 0;
}

}  // namespace os::windows
