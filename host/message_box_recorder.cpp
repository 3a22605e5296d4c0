#include "host/message_box_recorder.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/host_text.h"
#include "settings/dialog_controls.h"

namespace {

// The system's dialog class, which message boxes and the plug-in's own
// dialogs share; the text of a message box is its control 0xFFFF.
constexpr char DialogClass[] = "#32770";
constexpr int MessageTextId = 0xFFFF;

HHOOK activationHook = nullptr;

// The settings and About dialogs are the user's to answer, not errors.
bool IsPluginDialog(const char* caption) {
  return std::strcmp(caption, DOVED_CONFIG_CAPTION) == 0 || std::strcmp(caption, DOVED_ABOUT_CAPTION) == 0;
}

LRESULT CALLBACK OnActivation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char windowClass[sizeof DialogClass + 1] = {};
    wchar_t caption[256] = {};
    wchar_t text[4096] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    GetWindowTextW(window, caption, sizeof caption / sizeof *caption);
    const std::string captionText = Utf8Of(caption);
    if (std::strcmp(windowClass, DialogClass) == 0 && !IsPluginDialog(captionText.c_str())) {
      GetDlgItemTextW(window, MessageTextId, text, sizeof text / sizeof *text);
      // UTF-8, as every text of the host tool: a box may name any path.
      std::fprintf(stderr, "[%s] %s\n", captionText.c_str(), Utf8Of(text).c_str());
      std::fflush(stderr);
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(activationHook, code, wParam, lParam);
}

}  // namespace

void RecordMessageBoxes() {
  if (activationHook == nullptr) activationHook = SetWindowsHookExA(WH_CBT, OnActivation, nullptr, GetCurrentThreadId());
}

#else

// The POSIX build prints its boxes on standard error and never waits.
void RecordMessageBoxes() {}

#endif
