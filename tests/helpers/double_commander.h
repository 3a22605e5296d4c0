// A host of the tests' own that meets the built Doved.wcx as Double Commander
// 1.0.10 does: it loads a copy of the library, starts it with
// ExtensionInitialize and callbacks that record what the plug-in shows, and
// shows the plug-in's forms to a scripted user. The forms are read from their
// LFM text; the controls behave as Double Commander's do (observed by running
// it): a user's tick or typing reports DN_CHANGE, a click of a button
// DN_CLICK, DM_SETTEXT on an edit reports DN_CHANGE when the text changes,
// DM_SETCHECK reports nothing, DM_GETTEXT answers with a pointer to the text.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "helpers/lfm_reader.h"
#include "helpers/scratch_dir.h"
#include "plugin/doublecmd/extension.h"
#include "plugin/plugin_api.h"

struct HostBox {
  std::string caption;
  std::string text;
  long flags;
};

class DoubleCommander;

// A form on the screen, as the scripted user meets it.
class ShownForm {
 public:
  ShownForm(DoubleCommander& host, LfmObject form, doublecmd::DlgProc proc);

  const LfmObject& Lfm() const { return lfm_; }
  std::string Caption() const { return lfm_.Text("Caption"); }

  // What the controls show.
  bool Checked(const std::string& name) const;
  bool Enabled(const std::string& name) const;
  std::string Text(const std::string& name) const;  // an edit's text, a label's or button's caption

  // The user's actions; each is false, and nothing happens, where the
  // toolkit would deliver nothing: a disabled control, a read-only edit.
  bool Click(const std::string& name);  // a button is pressed, a check box toggles
  bool Type(const std::string& name, const std::string& text);  // replaces the edit's text, up to its MaxLength
  bool PressEnter();   // the default button
  bool PressEscape();  // the cancel button
  void CloseBox();     // the window's close box

  bool IsOpen() const { return open_; }
  std::intptr_t ModalResult() const { return result_; }

  // Double Commander's side of SendDlgMsg.
  std::intptr_t Message(const char* item, std::intptr_t message, std::intptr_t wParam, std::intptr_t lParam);
  void Init();

 private:
  struct Control {
    const LfmObject* object;
    bool checked = false;
    bool enabled = true;
    std::string text;
  };

  Control* Find(const std::string& name);
  const Control* Find(const std::string& name) const;
  bool Usable(const Control* control) const;
  void Event(const std::string& name, std::intptr_t event, std::intptr_t wParam);

  DoubleCommander& host_;
  LfmObject lfm_;
  doublecmd::DlgProc proc_;
  std::map<std::string, Control> controls_;
  bool open_ = true;
  std::intptr_t result_ = 0;
};

class DoubleCommander {
 public:
  // A copy of the built Doved.wcx in its own folder, with the files that the
  // test puts beside it first, loaded as Double Commander loads it: the
  // attach step runs at once.
  explicit DoubleCommander(const std::map<std::string, std::string>& besideLibrary = {});
  ~DoubleCommander();
  DoubleCommander(const DoubleCommander&) = delete;
  DoubleCommander& operator=(const DoubleCommander&) = delete;

  bool Loaded() const { return library_ != nullptr; }
  const std::string& Error() const { return error_; }

  // The library's folder and Double Commander's configuration folder.
  const std::string& LibraryFolder() const { return libraryFolder_; }
  const std::string& ConfigFolder() const { return configFolder_; }
  // Made read-only before Start: the install of an administrator.
  void MakeLibraryFolderReadOnly();

  // ExtensionInitialize, with all callbacks or without the message box.
  void Start(bool withMessageBox = true);
  void Finish();  // ExtensionFinalize

  // The plug-in's exports, as Double Commander calls them.
  int List(const std::string& image, std::vector<std::string>& names) const;
  int Pack(const std::string& image, const std::string& folder, const std::vector<std::string>& names) const;
  int Delete(const std::string& image, const std::vector<std::string>& names) const;
  void Configure() const;

  // The scripted users of the forms to come, one per form in the order they
  // are shown; a form without one is closed with its close box at once.
  void WhenShown(std::function<void(ShownForm&)> user) { users_.push_back(std::move(user)); }

  std::vector<HostBox> TakeBoxes();
  // The LFM texts of the forms shown so far.
  const std::vector<std::string>& Forms() const { return forms_; }

  // The callbacks, through the one host that is running.
  static int MessageBoxCall(char* text, char* caption, long flags);
  static int DialogBoxLfmCall(std::intptr_t lfm, unsigned long size, doublecmd::DlgProc proc);
  static std::intptr_t SendDlgMsgCall(std::uintptr_t dialog, char* item, std::intptr_t message, std::intptr_t wParam,
                                      std::intptr_t lParam);

 private:
  ScratchDir dir_;
  std::string libraryFolder_ = dir_.Path("plugins");
  std::string configFolder_ = dir_.Path("config");
  void* library_ = nullptr;
  std::string error_;
  bool started_ = false;
  std::deque<std::function<void(ShownForm&)>> users_;
  std::vector<ShownForm*> shown_;
  std::vector<HostBox> boxes_;
  std::vector<std::string> forms_;
};
