// Test hooks for dialogs: a scripted user who sits in front of each modal
// dialog that DialogBoxParamA shows, reads what it shows and works its
// controls. POSIX layer only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/dialogs.h"

namespace platform_test {

struct FontInfo {
  std::string face;  // empty for a font that does not exist (any more)
  int height;
  int weight;
};

// The user in front of one dialog. Reading works while the dialog exists;
// the actions return false when a user could not take them: no such control,
// a disabled or read-only one, a dialog that has ended or that waits behind a
// modal dialog of its own.
class DialogUser {
 public:
  explicit DialogUser(HWND dialog) : dialog_(dialog) {}

  HWND Window() const { return dialog_; }
  int ResourceId() const;
  std::string Caption() const;
  bool IsOpen() const;  // not yet ended
  std::vector<int> ControlIds() const;  // template (tab) order

  std::string Text(int id) const;
  UINT CheckState(int id) const;
  bool IsEnabled(int id) const;
  FontInfo Font(int id) const;

  // A mouse click: a check box toggles, a radio button is selected and the
  // others of its group are cleared, then the dialog hears BN_CLICKED.
  bool Click(int id);
  // Selects all of an edit's text and types `text` over it; what exceeds the
  // edit's limit is lost. The dialog hears EN_CHANGE.
  bool Type(int id, std::string_view text);
  // The close box of the caption.
  bool Close();
  // A WM_COMMAND that reaches the dialog whatever its controls' states, as
  // a keyboard accelerator or another program could send it.
  bool SendCommand(int id, WORD code);

 private:
  HWND dialog_;
};

using DialogScript = std::function<void(DialogUser&)>;

// Queues the user's part for the next dialog shown: dialogs take the scripts
// in the order given, one each, after WM_INITDIALOG; a dialog still open when
// its script returns is closed through its close box (and given up with -1
// when even that does not end it).
void ScriptDialog(DialogScript script);
// Scripts not yet taken by a dialog.
std::size_t PendingDialogScripts();
void ClearDialogScripts();
// The next script, or an empty one (for the layer itself).
DialogScript TakeDialogScript();

// What a font handle stands for.
FontInfo DescribeFont(HFONT font);
// Fonts made by CreateFontA and not deleted yet.
std::size_t LiveFonts();

}  // namespace platform_test
