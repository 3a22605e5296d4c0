#include "platform/posix/dialog_window.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

namespace dialog_model {
namespace {

// What a new edit control lets the user type before EM_LIMITTEXT.
constexpr std::size_t DefaultTextLimit = 32767;
// EM_LIMITTEXT 0 raises the limit as far as it goes.
constexpr std::size_t LargestTextLimit = 0x7FFFFFFE;

thread_local std::vector<std::unique_ptr<DialogWindow>> dialogs;

ControlKind KindOf(const DialogItemResource& item) {
  if (strcasecmp(item.windowClass, "Edit") == 0) return ControlKind::Edit;
  if (strcasecmp(item.windowClass, "Button") != 0) return ControlKind::Static;
  switch (item.style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
      return ControlKind::CheckBox;
    case BS_AUTORADIOBUTTON:
      return ControlKind::RadioButton;
    case BS_GROUPBOX:
      return ControlKind::GroupBox;
    default:  // the templates hold no other buttons that keep a state
      return ControlKind::PushButton;
  }
}

bool HoldsCheck(const Control& control) {
  return control.kind == ControlKind::CheckBox || control.kind == ControlKind::RadioButton;
}

// A user reaches only enabled controls of a dialog that is still open and
// not waiting behind a modal dialog of its own.
bool CanUse(const Control& control) {
  return control.enabled && control.dialog->enabled && !control.dialog->ended;
}

void Notify(Control& control, WORD code) {
  SendToDialog(*control.dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control.id), code),
               reinterpret_cast<LPARAM>(control.Handle()));
}

// An automatic radio button clears the other automatic radio buttons of its
// group: the run of controls from the last one that starts a group.
void SelectInGroup(Control& selected) {
  auto& controls = selected.dialog->controls;
  const auto at = std::find_if(controls.begin(), controls.end(), [&](const auto& c) { return c.get() == &selected; });
  auto first = at;
  while (first != controls.begin() && !(*first)->startsGroup) --first;
  const auto end = std::find_if(at + 1, controls.end(), [](const auto& c) { return c->startsGroup; });
  for (auto it = first; it != end; ++it) {
    if ((*it)->kind == ControlKind::RadioButton) (*it)->check = BST_UNCHECKED;
  }
  selected.check = BST_CHECKED;
}

}  // namespace

DialogWindow& CreateDialogWindow(const DialogResource& resource, HINSTANCE instance, HWND parent,
                                 DLGPROC procedure) {
  auto dialog = std::make_unique<DialogWindow>();
  dialog->resource = &resource;
  dialog->instance = instance;
  dialog->parent = parent;
  dialog->procedure = procedure;
  for (std::size_t i = 0; i < resource.itemCount; ++i) {
    const DialogItemResource& item = resource.items[i];
    auto control = std::make_unique<Control>();
    control->id = item.id;
    control->enabled = !(item.style & WS_DISABLED);
    control->dialog = dialog.get();
    control->kind = KindOf(item);
    control->readOnly = control->kind == ControlKind::Edit && (item.style & ES_READONLY);
    control->startsGroup = i == 0 || (item.style & WS_GROUP);
    control->text = item.text;
    control->textLimit = DefaultTextLimit;
    control->font = DialogFont();
    dialog->controls.push_back(std::move(control));
  }
  dialogs.push_back(std::move(dialog));
  return *dialogs.back();
}

void DestroyDialogWindow(DialogWindow& dialog) {
  std::erase_if(dialogs, [&](const auto& d) { return d.get() == &dialog; });
}

DialogWindow* FindDialog(HWND window) {
  for (const auto& dialog : dialogs) {
    if (dialog->Handle() == window) return dialog.get();
  }
  return nullptr;
}

Control* FindControl(HWND window) {
  for (const auto& dialog : dialogs) {
    for (const auto& control : dialog->controls) {
      if (control->Handle() == window) return control.get();
    }
  }
  return nullptr;
}

Window* FindWindow(HWND window) {
  if (DialogWindow* dialog = FindDialog(window)) return dialog;
  return FindControl(window);
}

Control* FindItem(HWND window, int id) {
  DialogWindow* dialog = FindDialog(window);
  if (dialog == nullptr) return nullptr;
  for (const auto& control : dialog->controls) {
    if (control->id == id) return control.get();
  }
  return nullptr;
}

LRESULT SendToDialog(DialogWindow& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR handled = dialog.procedure(dialog.Handle(), message, wParam, lParam);
  if (handled || message != WM_CLOSE) return handled;
  // The system turns an unhandled close into Cancel, unless Cancel is disabled.
  Control* cancel = FindItem(dialog.Handle(), IDCANCEL);
  if (cancel != nullptr && !cancel->enabled) return 0;
  return SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                      reinterpret_cast<LPARAM>(cancel != nullptr ? cancel->Handle() : nullptr));
}

LRESULT SendToControl(Control& control, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      // Not bound by the edit's limit, which holds for typing only.
      control.text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      if (control.kind == ControlKind::Edit) Notify(control, EN_CHANGE);
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0) return 0;
      const std::size_t length = std::min<std::size_t>(control.text.size(), wParam - 1);
      auto* buffer = reinterpret_cast<char*>(lParam);
      std::memcpy(buffer, control.text.data(), length);
      buffer[length] = '\0';
      return static_cast<LRESULT>(length);
    }
    case WM_SETFONT:
      control.font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(control.font);
    case EM_LIMITTEXT:
      if (control.kind == ControlKind::Edit) control.textLimit = wParam != 0 ? wParam : LargestTextLimit;
      return 0;
    case BM_GETCHECK:
      return HoldsCheck(control) ? control.check : BST_UNCHECKED;
    case BM_SETCHECK:
      // A two-state button shows "indeterminate" as checked.
      if (HoldsCheck(control)) control.check = wParam == BST_UNCHECKED ? BST_UNCHECKED : BST_CHECKED;
      return 0;
    default:
      return 0;
  }
}

bool Click(Control& control) {
  if (!CanUse(control)) return false;
  switch (control.kind) {
    case ControlKind::CheckBox:
      control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      break;
    case ControlKind::RadioButton:
      SelectInGroup(control);
      break;
    case ControlKind::PushButton:
      break;
    default:  // group boxes, static texts and edits send no clicks
      return false;
  }
  Notify(control, BN_CLICKED);
  return true;
}

bool Type(Control& control, std::string_view text) {
  if (!CanUse(control) || control.kind != ControlKind::Edit || control.readOnly) return false;
  control.text = text.substr(0, control.textLimit);
  Notify(control, EN_CHANGE);
  return true;
}

bool Close(DialogWindow& dialog) {
  if (dialog.ended || !dialog.enabled) return false;
  SendToDialog(dialog, WM_CLOSE, 0, 0);
  return true;
}

}  // namespace dialog_model
