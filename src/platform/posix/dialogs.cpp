#include "platform/posix/dialogs.h"

#include "platform/posix/dialog_test_hooks.h"
#include "platform/posix/dialog_window.h"
#include "platform/posix/process.h"

using dialog_model::Control;
using dialog_model::DialogWindow;

namespace {

// The control, or null with the error that Windows gives.
Control* ItemOf(HWND dialog, int id) {
  if (dialog_model::FindDialog(dialog) == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  Control* control = dialog_model::FindItem(dialog, id);
  if (control == nullptr) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return control;
}

// The slot of a window that holds a plain value, or null.
LONG_PTR* SlotOf(HWND window, int index) {
  dialog_model::Window* found = dialog_model::FindWindow(window);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (index == GWLP_USERDATA) return &found->userData;
  if (DialogWindow* dialog = dialog_model::FindDialog(window)) {
    if (index == DWLP_MSGRESULT) return &dialog->messageResult;
    if (index == DWLP_USER) return &dialog->user;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return nullptr;
}

HWND FirstTabStop(DialogWindow& dialog) {
  for (std::size_t i = 0; i < dialog.resource->itemCount; ++i) {
    if ((dialog.resource->items[i].style & WS_TABSTOP) && dialog.controls[i]->enabled) {
      return dialog.controls[i]->Handle();
    }
  }
  return nullptr;
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC procedure, LPARAM param) {
  const DialogResource* resource =
      IS_INTRESOURCE(templateName)
          ? FindDialogResource(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(templateName)))
          : nullptr;
  if (resource == nullptr || procedure == nullptr) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
  }
  DialogWindow& dialog = dialog_model::CreateDialogWindow(*resource, instance, parent, procedure);
  // A modal dialog disables its owner until it ends.
  DialogWindow* owner = dialog_model::FindDialog(parent);
  const bool disableOwner = owner != nullptr && owner->enabled;
  if (disableOwner) owner->enabled = false;

  dialog_model::SendToDialog(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(dialog_model::DialogFont()), FALSE);
  dialog_model::SendToDialog(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(FirstTabStop(dialog)), param);
  if (!dialog.ended) {
    if (platform_test::DialogScript script = platform_test::TakeDialogScript()) {
      platform_test::DialogUser user(dialog.Handle());
      script(user);
    }
  }
  // Nobody is left to answer the dialog: it goes the way of its close box.
  if (!dialog.ended) dialog_model::Close(dialog);
  const INT_PTR result = dialog.ended ? dialog.result : -1;

  dialog_model::DestroyDialogWindow(dialog);
  if (disableOwner) owner->enabled = true;
  return result;
}

BOOL EndDialog(HWND window, INT_PTR result) {
  DialogWindow* dialog = dialog_model::FindDialog(window);
  if (dialog == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  dialog->ended = true;
  dialog->result = result;
  return TRUE;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  LONG_PTR* slot = SlotOf(window, index);
  if (slot == nullptr) return 0;
  const LONG_PTR previous = *slot;
  *slot = value;
  return previous;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  if (index == GWLP_HINSTANCE) {
    if (DialogWindow* dialog = dialog_model::FindDialog(window)) return reinterpret_cast<LONG_PTR>(dialog->instance);
    if (Control* control = dialog_model::FindControl(window)) {
      return reinterpret_cast<LONG_PTR>(control->dialog->instance);
    }
  }
  const LONG_PTR* slot = SlotOf(window, index);
  return slot != nullptr ? *slot : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  Control* control = ItemOf(dialog, id);
  if (control == nullptr) return FALSE;
  return static_cast<BOOL>(dialog_model::SendToControl(*control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  Control* control = ItemOf(dialog, id);
  if (control == nullptr) {
    if (size > 0) buffer[0] = '\0';
    return 0;
  }
  const WPARAM capacity = size > 0 ? static_cast<WPARAM>(size) : 0;
  return static_cast<UINT>(
      dialog_model::SendToControl(*control, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(buffer)));
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  Control* control = ItemOf(dialog, id);
  if (control == nullptr) return FALSE;
  dialog_model::SendToControl(*control, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  Control* control = ItemOf(dialog, id);
  return control != nullptr ? static_cast<UINT>(dialog_model::SendToControl(*control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND window, int first, int last, int check) {
  DialogWindow* dialog = dialog_model::FindDialog(window);
  if (dialog == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  for (const auto& control : dialog->controls) {
    if (control->id < first || control->id > last) continue;
    dialog_model::SendToControl(*control, BM_SETCHECK, control->id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* control = ItemOf(dialog, id);
  return control != nullptr ? dialog_model::SendToControl(*control, message, wParam, lParam) : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
  Control* control = ItemOf(dialog, id);
  return control != nullptr ? control->Handle() : nullptr;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  dialog_model::Window* found = dialog_model::FindWindow(window);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const bool wasDisabled = !found->enabled;
  found->enabled = enable != FALSE;
  return wasDisabled ? TRUE : FALSE;
}
