#include "helpers/double_commander.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include "plugin/entry_walk.h"

namespace {

using namespace doublecmd;

DoubleCommander* running = nullptr;

// What Double Commander 1.0.10 builds its plug-ins' forms from: other
// classes (TRadioButton, TBevel, TStaticText among them) and other handler
// names stop the form with an error box.
const std::set<std::string> KnownClasses = {"TButton", "TCheckBox", "TEdit",     "TLabel",       "TGroupBox",
                                            "TPanel",  "TMemo",     "TComboBox", "TListBox",     "TRadioGroup",
                                            "TBitBtn", "TScrollBox", "TPageControl", "TDividerBevel"};
const std::set<std::string> KnownHandlers = {"DialogBoxShow", "ButtonClick", "CheckBoxChange", "EditChange"};

// Every object's class and every handler is known; the reason when not.
bool CheckBuildable(const LfmObject& form, std::string& why) {
  if (form.className != "TDialogBox") {
    why = "the form is a " + form.className;
    return false;
  }
  std::vector<const LfmObject*> all = form.Descendants();
  all.push_back(&form);
  for (const LfmObject* object : all) {
    if (object != &form && KnownClasses.count(object->className) == 0) {
      why = "Class \"" + object->className + "\" not found";
      return false;
    }
    for (const auto& [key, value] : object->properties) {
      if (key.rfind("On", 0) == 0 && KnownHandlers.count(value.text) == 0) {
        why = "no handler " + value.text + " for " + object->name + "." + key;
        return false;
      }
    }
  }
  return true;
}

bool IsTrue(const LfmObject& object, const std::string& key, bool fallback) {
  if (!object.Has(key)) return fallback;
  return object.Text(key) == "True";
}

template <typename Function>
Function Symbol(void* library, const char* name) {
  return reinterpret_cast<Function>(dlsym(library, name));
}

std::vector<char> NameList(const std::vector<std::string>& names) {
  std::vector<char> list;
  for (const std::string& name : names) {
    list.insert(list.end(), name.begin(), name.end());
    list.push_back('\0');
  }
  list.push_back('\0');
  return list;
}

}  // namespace

ShownForm::ShownForm(DoubleCommander& host, LfmObject form, DlgProc proc)
    : host_(host), lfm_(std::move(form)), proc_(proc) {
  for (const LfmObject* object : lfm_.Descendants()) {
    Control control;
    control.object = object;
    control.enabled = IsTrue(*object, "Enabled", true);
    control.checked = IsTrue(*object, "Checked", false) || object->Text("State") == "cbChecked";
    control.text = object->className == "TEdit" ? object->Text("Text") : object->Text("Caption");
    controls_[object->name] = control;
  }
}

void ShownForm::Init() {
  if (lfm_.Text("OnShow") == "DialogBoxShow") proc_(reinterpret_cast<std::uintptr_t>(this), const_cast<char*>("DialogBox"), DnInitDialog, 0, 0);
}

ShownForm::Control* ShownForm::Find(const std::string& name) {
  const auto found = controls_.find(name);
  return found != controls_.end() ? &found->second : nullptr;
}

const ShownForm::Control* ShownForm::Find(const std::string& name) const {
  return const_cast<ShownForm*>(this)->Find(name);
}

bool ShownForm::Checked(const std::string& name) const {
  const Control* control = Find(name);
  EXPECT_NE(control, nullptr) << "no control " << name;
  return control != nullptr && control->checked;
}

bool ShownForm::Enabled(const std::string& name) const {
  const Control* control = Find(name);
  EXPECT_NE(control, nullptr) << "no control " << name;
  return control != nullptr && control->enabled;
}

std::string ShownForm::Text(const std::string& name) const {
  const Control* control = Find(name);
  EXPECT_NE(control, nullptr) << "no control " << name;
  return control != nullptr ? control->text : std::string();
}

// A control that the user can reach: it and every control around it enabled.
bool ShownForm::Usable(const Control* control) const {
  if (!open_ || control == nullptr || !control->enabled) return false;
  for (const LfmObject* object : lfm_.Descendants()) {
    if (object == control->object) continue;
    if (object->Find(control->object->name) != nullptr && !Find(object->name)->enabled) return false;
  }
  return true;
}

void ShownForm::Event(const std::string& name, std::intptr_t event, std::intptr_t wParam) {
  proc_(reinterpret_cast<std::uintptr_t>(this), const_cast<char*>(name.c_str()), event, wParam, 0);
}

bool ShownForm::Click(const std::string& name) {
  Control* control = Find(name);
  EXPECT_NE(control, nullptr) << "no control " << name;
  if (!Usable(control)) return false;
  const LfmObject& object = *control->object;
  if (object.className == "TCheckBox") {
    control->checked = !control->checked;
    if (object.Text("OnChange") == "CheckBoxChange") Event(name, DnChange, control->checked ? 1 : 0);
  }
  if (object.Text("OnClick") == "ButtonClick") Event(name, DnClick, 0);
  return true;
}

bool ShownForm::Type(const std::string& name, const std::string& text) {
  Control* control = Find(name);
  EXPECT_NE(control, nullptr) << "no control " << name;
  if (!Usable(control) || control->object->className != "TEdit" || IsTrue(*control->object, "ReadOnly", false)) {
    return false;
  }
  const long limit = control->object->Number("MaxLength", 0);
  const std::string typed = limit > 0 ? text.substr(0, static_cast<std::size_t>(limit)) : text;
  if (typed == control->text) return true;
  control->text = typed;
  if (control->object->Text("OnChange") == "EditChange") {
    Event(name, DnChange, reinterpret_cast<std::intptr_t>(control->text.c_str()));
  }
  return true;
}

bool ShownForm::PressEnter() {
  for (const auto& [name, control] : controls_) {
    if (control.object->className == "TButton" && IsTrue(*control.object, "Default", false)) return Click(name);
  }
  return false;
}

bool ShownForm::PressEscape() {
  for (const auto& [name, control] : controls_) {
    if (control.object->className == "TButton" && IsTrue(*control.object, "Cancel", false)) return Click(name);
  }
  return false;
}

void ShownForm::CloseBox() {
  open_ = false;
  result_ = 2;  // mrCancel
}

std::intptr_t ShownForm::Message(const char* item, std::intptr_t message, std::intptr_t wParam, std::intptr_t) {
  if (message == DmClose) {
    open_ = false;
    result_ = wParam;
    return 0;
  }
  const std::string name = item != nullptr ? item : "";
  Control* control = Find(name);
  if (control == nullptr) {
    ADD_FAILURE() << "message " << message << " to no control: " << name;
    return 0;
  }
  const std::string& className = control->object->className;
  switch (message) {
    case DmEnable: {
      const bool was = control->enabled;
      if (wParam != -1) control->enabled = wParam != 0;
      return was ? 1 : 0;
    }
    case DmGetText:
      return reinterpret_cast<std::intptr_t>(control->text.c_str());
    case DmSetText: {
      const std::string text = wParam != 0 ? reinterpret_cast<const char*>(wParam) : "";
      const bool changed = text != control->text;
      control->text = text;
      if (changed && className == "TEdit" && control->object->Text("OnChange") == "EditChange") {
        Event(name, DnChange, reinterpret_cast<std::intptr_t>(control->text.c_str()));
      }
      return 1;
    }
    case DmGetCheck:
      EXPECT_EQ(className, "TCheckBox") << "DM_GETCHECK to " << name;
      return control->checked ? 1 : 0;
    case DmSetCheck:
      EXPECT_EQ(className, "TCheckBox") << "DM_SETCHECK to " << name;
      control->checked = wParam == 1;
      return 0;
    default:
      ADD_FAILURE() << "message " << message << " to " << name << " is not one the plug-in should need";
      return 0;
  }
}

DoubleCommander::DoubleCommander(const std::map<std::string, std::string>& besideLibrary) {
  std::filesystem::create_directories(libraryFolder_);
  std::filesystem::create_directories(configFolder_);
  // Another user may have to reach the folders (see MakeLibraryFolderReadOnly).
  chmod(dir_.Path().c_str(), 0755);
  chmod(libraryFolder_.c_str(), 0755);
  chmod(configFolder_.c_str(), 0777);
  const std::string library = libraryFolder_ + "/Doved.wcx";
  std::error_code failed;
  std::filesystem::copy_file(DOVED_PLUGIN, library, failed);
  if (failed) {
    error_ = "cannot copy " + std::string(DOVED_PLUGIN) + ": " + failed.message();
    return;
  }
  for (const auto& [name, bytes] : besideLibrary) StoreFile(libraryFolder_ + "/" + name, bytes);
  library_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) error_ = dlerror();
}

DoubleCommander::~DoubleCommander() {
  if (started_) Finish();
  if (library_ != nullptr) dlclose(library_);
  chmod(libraryFolder_.c_str(), 0755);
  if (running == this) running = nullptr;
}

void DoubleCommander::MakeLibraryFolderReadOnly() {
  for (const auto& entry : std::filesystem::directory_iterator(libraryFolder_)) chmod(entry.path().c_str(), 0444);
  chmod(libraryFolder_.c_str(), 0555);
}

void DoubleCommander::Start(bool withMessageBox) {
  auto info = std::make_unique<StartupInfo>();
  std::memset(info.get(), 0, sizeof *info);
  info->StructSize = sizeof *info;
  std::snprintf(info->PluginDir, sizeof info->PluginDir, "%s/", libraryFolder_.c_str());
  std::snprintf(info->PluginConfDir, sizeof info->PluginConfDir, "%s/", configFolder_.c_str());
  if (withMessageBox) info->MessageBox = MessageBoxCall;
  info->DialogBoxLFM = DialogBoxLfmCall;
  info->SendDlgMsg = SendDlgMsgCall;
  running = this;
  const auto initialize = Symbol<void (*)(StartupInfo*)>(library_, "ExtensionInitialize");
  ASSERT_NE(initialize, nullptr);
  initialize(info.get());
  started_ = true;
  // The record is the host's: it goes once the call returns.
  std::memset(info.get(), 0xA5, sizeof *info);
}

void DoubleCommander::Finish() {
  const auto finalize = Symbol<void (*)(void*)>(library_, "ExtensionFinalize");
  ASSERT_NE(finalize, nullptr);
  finalize(nullptr);
  started_ = false;
}

int DoubleCommander::List(const std::string& image, std::vector<std::string>& names) const {
  const auto open = Symbol<HANDLE (*)(tOpenArchiveData*)>(library_, "OpenArchive");
  const auto read = Symbol<int (*)(HANDLE, tHeaderData*)>(library_, "ReadHeader");
  const auto process = Symbol<int (*)(HANDLE, int, char*, char*)>(library_, "ProcessFile");
  const auto close = Symbol<int (*)(HANDLE)>(library_, "CloseArchive");
  std::string path = image;
  tOpenArchiveData request{};
  request.ArcName = path.data();
  request.OpenMode = PK_OM_LIST;
  const HANDLE archive = open(&request);
  if (archive == nullptr) return request.OpenResult;
  const int code = WalkEntries(read, archive, [&](const tHeaderData& header) {
    names.push_back(header.FileName);
    return process(archive, PK_SKIP, nullptr, nullptr);
  });
  const int closed = close(archive);
  return code != 0 ? code : closed;
}

int DoubleCommander::Pack(const std::string& image, const std::string& folder,
                          const std::vector<std::string>& names) const {
  const auto pack = Symbol<int (*)(char*, char*, char*, char*, int)>(library_, "PackFiles");
  std::string imagePath = image;
  std::string source = folder + "/";
  std::vector<char> list = NameList(names);
  return pack(imagePath.data(), nullptr, source.data(), list.data(), 0);
}

int DoubleCommander::Delete(const std::string& image, const std::vector<std::string>& names) const {
  const auto remove = Symbol<int (*)(char*, char*)>(library_, "DeleteFiles");
  std::string imagePath = image;
  std::vector<char> list = NameList(names);
  return remove(imagePath.data(), list.data());
}

void DoubleCommander::Configure() const {
  const auto configure = Symbol<void (*)(HWND, HINSTANCE)>(library_, "ConfigurePacker");
  // A window of the host's own toolkit, which the plug-in cannot use.
  configure(reinterpret_cast<HWND>(0x7e57), reinterpret_cast<HINSTANCE>(library_));
}

std::vector<HostBox> DoubleCommander::TakeBoxes() {
  std::vector<HostBox> taken;
  taken.swap(boxes_);
  return taken;
}

int DoubleCommander::MessageBoxCall(char* text, char* caption, long flags) {
  EXPECT_NE(running, nullptr);
  if (running == nullptr) return 0;
  running->boxes_.push_back({caption != nullptr ? caption : "", text != nullptr ? text : "", flags});
  return 1;  // OK
}

int DoubleCommander::DialogBoxLfmCall(std::intptr_t lfm, unsigned long size, DlgProc proc) {
  EXPECT_NE(running, nullptr);
  if (running == nullptr) return 0;
  const std::string text(reinterpret_cast<const char*>(lfm), size);
  running->forms_.push_back(text);
  LfmObject form;
  std::string why;
  if (!ReadLfm(text, form, why) || !CheckBuildable(form, why)) {
    ADD_FAILURE() << "Double Commander would refuse the form: " << why << "\n" << text;
    return 0;
  }
  ShownForm shown(*running, std::move(form), proc);
  running->shown_.push_back(&shown);
  shown.Init();
  if (!running->users_.empty()) {
    const auto user = std::move(running->users_.front());
    running->users_.pop_front();
    user(shown);
  }
  if (shown.IsOpen()) shown.CloseBox();
  running->shown_.pop_back();
  return shown.ModalResult() == 1 ? -1 : 0;  // a Pascal True for mrOK
}

std::intptr_t DoubleCommander::SendDlgMsgCall(std::uintptr_t dialog, char* item, std::intptr_t message,
                                              std::intptr_t wParam, std::intptr_t lParam) {
  EXPECT_NE(running, nullptr);
  if (running == nullptr) return 0;
  for (ShownForm* shown : running->shown_) {
    if (reinterpret_cast<std::uintptr_t>(shown) == dialog) return shown->Message(item, message, wParam, lParam);
  }
  ADD_FAILURE() << "message " << message << " to a form that is not shown";
  return 0;
}
