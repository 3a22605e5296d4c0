// The in-memory windows behind the POSIX dialog calls: a dialog with its
// controls, made from a template, and what the system and the user do to it.
// Windows belong to the thread that made them, as on Windows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/dialog_resource.h"
#include "platform/posix/dialogs.h"

namespace dialog_model {

enum class ControlKind { PushButton, CheckBox, RadioButton, GroupBox, Static, Edit };

struct DialogWindow;

struct Window {
  int id = 0;
  bool enabled = true;
  LONG_PTR userData = 0;

  HWND Handle() { return reinterpret_cast<HWND>(this); }
};

struct Control : Window {
  DialogWindow* dialog = nullptr;
  ControlKind kind = ControlKind::Static;
  bool readOnly = false;
  bool startsGroup = false;
  std::string text;
  UINT check = BST_UNCHECKED;
  std::size_t textLimit = 0;
  HFONT font = nullptr;
};

struct DialogWindow : Window {
  const DialogResource* resource = nullptr;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;
  DLGPROC procedure = nullptr;
  LONG_PTR messageResult = 0;
  LONG_PTR user = 0;
  std::vector<std::unique_ptr<Control>> controls;
  bool ended = false;
  INT_PTR result = 0;
};

DialogWindow& CreateDialogWindow(const DialogResource& resource, HINSTANCE instance, HWND parent,
                                 DLGPROC procedure);
void DestroyDialogWindow(DialogWindow& dialog);

// Null when the handle names no live window of this thread.
DialogWindow* FindDialog(HWND window);
Control* FindControl(HWND window);
Window* FindWindow(HWND window);
Control* FindItem(HWND dialog, int id);

// The dialog procedure, with the system's default for what it leaves
// unhandled: an unhandled WM_CLOSE becomes the Cancel command.
LRESULT SendToDialog(DialogWindow& dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The control's own window procedure.
LRESULT SendToControl(Control& control, UINT message, WPARAM wParam, LPARAM lParam);

// The font that the templates' FONT statement gives every control.
HFONT DialogFont();

// What the user does; false when the user cannot do it.
bool Click(Control& control);
bool Type(Control& control, std::string_view text);
bool Close(DialogWindow& dialog);

}  // namespace dialog_model
