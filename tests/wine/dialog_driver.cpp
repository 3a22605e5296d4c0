#include "wine/dialog_driver.h"

#include <atomic>
#include <thread>
#include <vector>

#include "settings/dialog_controls.h"
#include "wine/window_capture.h"

namespace {

struct Search {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchOwnDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char windowClass[16] = {};
  char caption[64] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  GetWindowTextA(window, caption, sizeof caption);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(windowClass, "#32770") == 0 &&
      lstrcmpA(caption, search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Other test processes may have dialogs open too: only this process's count.
HWND FindOwnDialog(const char* caption) {
  Search search{caption, nullptr};
  EnumWindows(MatchOwnDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

}  // namespace

LoadedPlugin::LoadedPlugin(const std::string& directory, const std::string& config) : directory_(FullPath(directory)) {
  CreateDirectoryA(directory_.c_str(), nullptr);
  const std::string plugin = directory_ + "\\Doved.wcx";
  DeleteFileA(ConfigPath().c_str());
  if (!CopyFileA(FullPath(DOVED_PLUGIN).c_str(), plugin.c_str(), FALSE)) return;
  if (!config.empty()) {
    const std::string text = "[Doved]\r\n" + config;
    HANDLE file = CreateFileA(ConfigPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  module_ = LoadLibraryA(plugin.c_str());
}

LoadedPlugin::~LoadedPlugin() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool LoadedPlugin::Configure(const std::function<void(HWND dialog)>& user) {
  using ConfigurePacker = void(WINAPI*)(HWND, HINSTANCE);
  const auto configure = reinterpret_cast<ConfigurePacker>(reinterpret_cast<void*>(GetProcAddress(module_, "ConfigurePacker")));
  if (configure == nullptr) return false;
  std::atomic<bool> returned{false};
  std::atomic<bool> shown{false};
  std::thread worker([&] {
    HWND dialog = nullptr;
    while (!returned && (dialog = FindOwnDialog(DOVED_CONFIG_CAPTION)) == nullptr) Sleep(10);
    if (dialog == nullptr) return;
    shown = true;
    user(dialog);
    while (!returned) {
      HWND about = FindOwnDialog(DOVED_ABOUT_CAPTION);
      PostMessageA(about != nullptr ? about : dialog, WM_CLOSE, 0, 0);
      Sleep(100);
    }
  });
  configure(nullptr, module_);
  returned = true;
  worker.join();
  return shown;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Type(HWND dialog, int id, const std::string& text) {
  HWND edit = GetDlgItem(dialog, id);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageA(edit, WM_CHAR, VK_BACK, 1);
  for (const char key : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
}

bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool IsChecked(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string Text(HWND dialog, int id) {
  std::vector<char> text(1024);
  const UINT length = GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), length);
}

HWND WaitForDialog(const char* caption) {
  HWND found = nullptr;
  for (int waited = 0; waited < 10000 && (found = FindOwnDialog(caption)) == nullptr; waited += 10) Sleep(10);
  return found;
}

bool SaveScreenshot(HWND window, const std::string& name) {
  CreateDirectoryA(DOVED_SCREENSHOT_DIR, nullptr);
  return CaptureWindow(window, std::string(DOVED_SCREENSHOT_DIR) + "/" + name + ".png");
}
