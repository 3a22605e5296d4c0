#include "plugin/windows/dialog.h"

INT_PTR DialogBase::ShowModal(WORD resourceId, HINSTANCE instance, HWND parent) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(resourceId), parent, DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<DialogBase*>(lParam);
    dialog->hwnd = hwnd;
    dialog->ready = false;
    dialog->font = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
    return dialog->OnInitDialog() ? TRUE : FALSE;
  }
  // Messages that come before WM_INITDIALOG find no dialog yet.
  auto* dialog = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (dialog == nullptr) return FALSE;
  return dialog->OnMessage(message, wParam, lParam) ? TRUE : FALSE;
}
