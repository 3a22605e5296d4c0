// The settings dialog of the real Doved.wcx, opened through ConfigurePacker
// and worked by a user on another thread, through window messages only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Paths and texts are UTF-8 here, as inside the plug-in.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* wide);

// A private copy of the plug-in in a directory of its own, loaded as a file
// manager loads it, so each test decides which Doved.cfg it starts from.
class LoadedPlugin {
 public:
  // Copies the built Doved.wcx into `directory`, with `config` as its
  // Doved.cfg unless empty, and loads it.
  LoadedPlugin(const std::string& directory, const std::string& config);
  // Loads the Doved.wcx that lies in `directory` already.
  explicit LoadedPlugin(const std::string& directory);
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  bool IsLoaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  std::string ConfigPath() const { return directory_ + "\\Doved.cfg"; }

  // Runs ConfigurePacker on this thread while `user` works the dialog window
  // on another; returns false when no dialog appeared. A dialog that `user`
  // leaves open is cancelled, so a failed test never hangs.
  bool Configure(const std::function<void(HWND dialog)>& user);
  // Names the host's own settings file, as Total Commander does once it has
  // loaded the plug-in; false when the plug-in has no PackSetDefaultParams.
  bool NameHostSettings(const std::string& iniName);

 private:
  std::string directory_;
  HMODULE module_ = nullptr;
};

// The read-only folder that scripts/wine-tests makes with a copy of the
// plug-in in its "plugin" folder, and a "host" folder beside that: the
// Windows path of `name` in it, or "" when there is none or it can be
// written all the same.
std::string ReadOnlyFolder(const std::string& name);

// What a user does and sees, through messages to the controls.
void Click(HWND dialog, int id);
void Type(HWND dialog, int id, const std::string& text);  // replaces the text, key by key
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
std::string Text(HWND dialog, int id);  // UTF-8
// The open dialog of this process with this caption, waited for a while.
HWND WaitForDialog(const char* caption);
// Whether `window` is destroyed within a while.
bool WaitUntilGone(HWND window);
// Saves a screenshot of `window` as NAME.png in the screenshot directory.
bool SaveScreenshot(HWND window, const std::string& name);

// A posted command, as a keyboard accelerator or another program sends it,
// whatever the state of the control.
void SendCommand(HWND dialog, int id, WORD code);

// What a font handle stands for; an empty face when the font does not exist
// (any more).
struct FontFacts {
  std::string face;
  LONG weight;
};
FontFacts FactsOf(HFONT font);
HFONT FontOf(HWND window);  // WM_GETFONT
bool FontExists(HFONT font);

// Watches the fonts that `control` is given with WM_SETFONT from now on, and
// whether `font` still existed at each; one control at a time.
struct SetFontCall {
  HFONT font;
  bool watchedExisted;
};
void WatchSetFont(HWND control, HFONT font);
std::vector<SetFontCall> WatchedSetFonts();

// A dialog resource of `module` made into a window that no procedure runs
// and nobody sees: the controls as the template gives them.
struct TemplateControl {
  int id;
  std::string windowClass;
  std::string text;
  LONG style;
};
struct DialogTemplate {
  bool found;
  std::string caption;
  std::vector<TemplateControl> controls;  // in tab order
};
DialogTemplate ReadTemplate(HMODULE module, WORD resourceId);
