#include "wine/dialog_driver.h"

#include <atomic>
#include <mutex>
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
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(Wide(path).c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? Utf8(full) : path;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(units > 0 ? static_cast<std::size_t>(units - 1) : 0);
  return wide;
}

std::string Utf8(const wchar_t* wide) {
  std::string utf8(4 * lstrlenW(wide) + 1, '\0');
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(bytes > 0 ? static_cast<std::size_t>(bytes - 1) : 0);
  return utf8;
}

LoadedPlugin::LoadedPlugin(const std::string& directory, const std::string& config) : directory_(FullPath(directory)) {
  CreateDirectoryW(Wide(directory_).c_str(), nullptr);
  const std::string plugin = directory_ + "\\Doved.wcx";
  DeleteFileW(Wide(ConfigPath()).c_str());
  if (!CopyFileW(Wide(FullPath(DOVED_PLUGIN)).c_str(), Wide(plugin).c_str(), FALSE)) return;
  if (!config.empty()) {
    const std::string text = "[Doved]\r\n" + config;
    HANDLE file = CreateFileW(Wide(ConfigPath()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  module_ = LoadLibraryW(Wide(plugin).c_str());
}

LoadedPlugin::LoadedPlugin(const std::string& directory) : directory_(FullPath(directory)) {
  module_ = LoadLibraryW(Wide(directory_ + "\\Doved.wcx").c_str());
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

bool LoadedPlugin::NameHostSettings(const std::string& iniName) {
  struct DefaultParams {
    int size;
    DWORD PluginInterfaceVersionLow;
    DWORD PluginInterfaceVersionHi;
    char DefaultIniName[MAX_PATH];
  };
  using SetDefaultParams = void(WINAPI*)(DefaultParams*);
  const auto set = reinterpret_cast<SetDefaultParams>(reinterpret_cast<void*>(GetProcAddress(module_, "PackSetDefaultParams")));
  if (set == nullptr || iniName.size() >= MAX_PATH) return false;
  DefaultParams params{sizeof params, 21, 2, {}};
  lstrcpynA(params.DefaultIniName, iniName.c_str(), MAX_PATH);
  set(&params);
  return true;
}

std::string ReadOnlyFolder(const std::string& name) {
  char folder[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("DOVED_WINE_READ_ONLY_DIR", folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return "";
  std::string path = "Z:" + std::string(folder, length) + "/" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  HANDLE probe = CreateFileA((path + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return path;
  CloseHandle(probe);
  return "";
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
  std::vector<wchar_t> text(1024);
  GetDlgItemTextW(dialog, id, text.data(), static_cast<int>(text.size()));
  return Utf8(text.data());
}

HWND WaitForDialog(const char* caption) {
  HWND found = nullptr;
  for (int waited = 0; waited < 10000 && (found = FindOwnDialog(caption)) == nullptr; waited += 10) Sleep(10);
  return found;
}

bool WaitUntilGone(HWND window) {
  for (int waited = 0; waited < 10000 && IsWindow(window); waited += 10) Sleep(10);
  return !IsWindow(window);
}

bool SaveScreenshot(HWND window, const std::string& name) {
  CreateDirectoryA(DOVED_SCREENSHOT_DIR, nullptr);
  return CaptureWindow(window, std::string(DOVED_SCREENSHOT_DIR) + "/" + name + ".png");
}

void SendCommand(HWND dialog, int id, WORD code) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

FontFacts FactsOf(HFONT font) {
  LOGFONTA facts{};
  if (font == nullptr || GetObjectA(font, sizeof facts, &facts) != sizeof facts) return {"", 0};
  return {facts.lfFaceName, facts.lfWeight};
}

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }

bool FontExists(HFONT font) { return font != nullptr && GetObjectType(font) == OBJ_FONT; }

namespace {

// Set once per watch and read by the control's procedure on the dialog's thread.
std::mutex watchMutex;
WNDPROC watchedProcedure = nullptr;
HFONT watchedFont = nullptr;
std::vector<SetFontCall> setFontCalls;

LRESULT CALLBACK WatchingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC original;
  {
    std::lock_guard lock(watchMutex);
    original = watchedProcedure;
    if (message == WM_SETFONT) setFontCalls.push_back({reinterpret_cast<HFONT>(wParam), FontExists(watchedFont)});
  }
  return CallWindowProcA(original, window, message, wParam, lParam);
}

INT_PTR CALLBACK NoProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

void WatchSetFont(HWND control, HFONT font) {
  std::lock_guard lock(watchMutex);
  watchedFont = font;
  setFontCalls.clear();
  // The procedure stays in place until the control is destroyed.
  watchedProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProcedure)));
}

std::vector<SetFontCall> WatchedSetFonts() {
  std::lock_guard lock(watchMutex);
  return setFontCalls;
}

DialogTemplate ReadTemplate(HMODULE module, WORD resourceId) {
  DialogTemplate result{false, "", {}};
  HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(resourceId), nullptr, NoProcedure, 0);
  if (dialog == nullptr) return result;
  result.found = true;
  char text[256];
  GetWindowTextA(dialog, text, sizeof text);
  result.caption = text;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char windowClass[64];
    GetClassNameA(child, windowClass, sizeof windowClass);
    GetWindowTextA(child, text, sizeof text);
    result.controls.push_back({static_cast<short>(GetDlgCtrlID(child)), windowClass, text,
                               static_cast<LONG>(GetWindowLongPtrA(child, GWL_STYLE))});
  }
  DestroyWindow(dialog);
  return result;
}
