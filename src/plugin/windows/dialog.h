// Modal Win32 dialogs as objects: one dialog procedure serves every dialog
// and forwards the window's messages to the object bound to the window.
#pragma once

#include <windows.h>

class DialogBase;

// The procedure of every dialog; lParam of WM_INITDIALOG is the DialogBase*.
INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// What the dialog procedure needs of a dialog, whatever its resource.
class DialogBase {
 public:
  DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;
  virtual ~DialogBase() = default;

 protected:
  // Fills the controls; the result goes back to the system.
  virtual bool OnInitDialog() = 0;
  // True when the message was handled.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // Shows the dialog resource modally over `parent`: the value given to
  // EndDialog, or -1 (or 0) when it could not be shown.
  INT_PTR ShowModal(WORD resourceId, HINSTANCE instance, HWND parent);

  HWND hwnd = nullptr;
  bool ready = false;  // set by OnInitDialog when the controls are loaded
  HFONT font = nullptr;  // a font the dialog makes for its own use

  friend INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

template <WORD ResourceId>
class Dialog : public DialogBase {
 public:
  INT_PTR Show(HINSTANCE instance, HWND parent) { return ShowModal(ResourceId, instance, parent); }
};
