// UTF-8, Doved's text, as the W calls of Windows take it.
#pragma once

#include <windows.h>

namespace os::windows {

// NUL-ended UTF-8 text in UTF-16, in memory of its own; Get() is null when
// it could not be had, with the system's last error set.
class WideText {
 public:
  explicit WideText(const char* utf8);
  ~WideText();
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;

  const wchar_t* Get() const { return text_; }

 protected:
  wchar_t* text_ = nullptr;
};

// A path: one that the system would cut at MAX_PATH goes in its \\?\ form,
// made whole first (relative parts resolved, slashes turned round), since
// Windows takes that form as it stands.
class WidePath : public WideText {
 public:
  explicit WidePath(const char* utf8);
};

}  // namespace os::windows
