#include "plugin/doublecmd/config_dialog.h"

#include "plugin/doublecmd/host_calls.h"
#include "plugin/doublecmd/lfm_form.h"
#include "settings/config_form.h"
#include "settings/dialog_controls.h"

namespace doublecmd {
namespace {

// A check box counts as ticked only when fully checked, not greyed.
constexpr std::intptr_t Checked = 1;

void ControlNameOf(int id, ControlNameText& name) { ControlNameOf(ConfigTemplate(), id, name); }

// The About box: its texts come from the settings form.
class AboutBox {
 public:
  static void Show(Status& status) {
    String lfm;
    status = WriteLfm(AboutTemplate(), lfm);
    if (status.IsFailed()) return;
    ShowForm(lfm.CStr(), lfm.length, Proc);
  }

 private:
  static std::intptr_t Proc(std::uintptr_t dialog, char* item, std::intptr_t message, std::intptr_t, std::intptr_t) {
    if (message == DnInitDialog) {
      for (const int id : {IDC_ABOUT_TEXT, IDC_CONFIG_PATH}) {
        ControlNameText name;
        ControlNameOf(AboutTemplate(), id, name);
        SendToControl(dialog, name, DmSetText, reinterpret_cast<std::intptr_t>(AboutText(id)));
      }
    } else if (message == DnClick && ControlId(item) == IDC_OK) {
      SendToControl(dialog, "DialogBox", DmClose, IDC_OK);
    }
    return 0;
  }
};

class ConfigDialog {
 public:
  explicit ConfigDialog(const Settings& opened) : form_(opened) {}

  // The dialog on the screen: the host's dialog procedure has no room for
  // an object, and the dialog is modal, so there is one at a time.
  static ConfigDialog* shown;

  static std::intptr_t Proc(std::uintptr_t dialog, char* item, std::intptr_t message, std::intptr_t wParam,
                            std::intptr_t) {
    if (shown != nullptr) shown->OnEvent(dialog, ControlId(item), message, wParam);
    return 0;
  }

  bool accepted = false;
  Settings settings{};
  Status status = StatusOk;

 private:
  void OnEvent(std::uintptr_t dialog, int id, std::intptr_t message, std::intptr_t wParam) {
    // Setting a control's text or state from here makes the host report a
    // change of it: that is no user's doing.
    if (showing_) return;
    switch (message) {
      case DnInitDialog:
        LoadControls(dialog);
        break;
      case DnClick:
        OnClick(dialog, id);
        break;
      case DnChange:
        OnChange(dialog, id, wParam);
        break;
      default:
        break;
    }
  }

  void OnClick(std::uintptr_t dialog, int id) {
    switch (id) {
      case IDC_OK:
        // Refused, and the dialog stays open, while the selected pattern is invalid.
        if (const auto ok = form_.PressOk()) {
          settings = *ok;
          accepted = true;
          SendToControl(dialog, "DialogBox", DmClose, IDC_OK);
        }
        break;
      case IDC_CANCEL:
        form_.PressCancel();
        SendToControl(dialog, "DialogBox", DmClose, IDC_CANCEL);
        break;
      case IDC_ABOUT_BUTTON:
        AboutBox::Show(status);
        break;
      default:
        break;
    }
  }

  void OnChange(std::uintptr_t dialog, int id, std::intptr_t) {
    ControlNameText name;
    ControlNameOf(id, name);
    switch (id) {
      case IDC_PATTERN1:
      case IDC_PATTERN2: {
        const auto text = reinterpret_cast<const char*>(SendToControl(dialog, name, DmGetText));
        form_.Type(id, text != nullptr ? text : "");
        break;
      }
      default: {
        // Check boxes stand for the radio buttons: ticking one selects it,
        // and the form clears the others of its set; clearing the selected
        // one leaves it selected.
        const FormControlKind kind = ConfigForm::KindOf(id);
        if (kind != FormControlKind::RadioButton && kind != FormControlKind::CheckBox) return;
        const bool checked = SendToControl(dialog, name, DmGetCheck) == Checked;
        if (kind == FormControlKind::CheckBox) {
          form_.Tick(id, checked);
        } else if (checked) {
          form_.Select(id);
        }
      }
    }
    ShowStates(dialog);
  }

  // The form's texts into the edits, once, then its states.
  void LoadControls(std::uintptr_t dialog) {
    showing_ = true;
    for (const FormControl& control : ConfigForm::Controls()) {
      if (control.kind != FormControlKind::Edit && control.kind != FormControlKind::ReadOnlyEdit) continue;
      ControlNameText name;
      ControlNameOf(control.id, name);
      SendToControl(dialog, name, DmSetText, reinterpret_cast<std::intptr_t>(form_.Text(control.id)));
    }
    showing_ = false;
    ShowStates(dialog);
  }

  // The form's check states, enabled states and notice into the controls.
  void ShowStates(std::uintptr_t dialog) {
    showing_ = true;
    for (const FormControl& control : ConfigForm::Controls()) {
      ControlNameText name;
      ControlNameOf(control.id, name);
      if (control.kind == FormControlKind::CheckBox || control.kind == FormControlKind::RadioButton) {
        SendToControl(dialog, name, DmSetCheck, form_.IsTicked(control.id) ? Checked : 0);
      }
      SendToControl(dialog, name, DmEnable, form_.IsEnabled(control.id) ? 1 : 0);
    }
    ControlNameText notice;
    ControlNameOf(IDC_MESSAGE, notice);
    SendToControl(dialog, notice, DmSetText, reinterpret_cast<std::intptr_t>(form_.Text(IDC_MESSAGE)));
    showing_ = false;
  }

  ConfigForm form_;
  bool showing_ = false;
};

ConfigDialog* ConfigDialog::shown = nullptr;

}  // namespace

bool ShowConfigDialog(const Settings& opened, Settings& accepted, Status& status) {
  status = StatusOk;
  if (!CanShowForms() || ConfigDialog::shown != nullptr) return false;
  String lfm;
  status = WriteLfm(ConfigTemplate(), lfm);
  if (status.IsFailed()) return false;
  ConfigDialog dialog(opened);
  ConfigDialog::shown = &dialog;
  ShowForm(lfm.CStr(), lfm.length, ConfigDialog::Proc);
  ConfigDialog::shown = nullptr;
  status = dialog.status;
  if (!dialog.accepted) return false;
  accepted = dialog.settings;
  return true;
}

}  // namespace doublecmd
