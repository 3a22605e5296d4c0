// The settings and About dialogs as Lazarus forms (LFM text), which Double
// Commander shows: made from the same control table as the Windows dialog
// resources (settings/dialog_controls.h), with the same texts, group boxes
// and tab order, laid out from the dialog units.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/status.h"
#include "settings/control_kind.h"
#include "support/ansi_string.h"

namespace doublecmd {

// One row of the control table: ROW(kind, id, window class, text, style, x, y, width, height).
struct FormRow {
  FormControlKind kind;
  int id;
  const char* windowClass;  // "Button", "Edit" or "Static", as Win32 names them
  const char* text;
  std::uint32_t style;  // Win32 control style bits
  int x, y, width, height;  // dialog units
};

struct FormTemplate {
  const char* caption;
  int width, height;  // dialog units
  const FormRow* rows;  // in tab order
  std::size_t count;
  int boldId;  // the control whose text is bold, or 0
};

const FormTemplate& ConfigTemplate();
const FormTemplate& AboutTemplate();

// Dialog units to pixels, with the base units of the dialog font (8-point
// "MS Shell Dlg" at 96 dpi) that Windows lays the templates out with: 6 × 13
// pixels, of which a horizontal unit is a quarter and a vertical one an
// eighth, rounded to the nearest pixel.
inline constexpr int BaseUnitX = 6;
inline constexpr int BaseUnitY = 13;
constexpr int PixelsX(int units) { return (units * BaseUnitX + 2) / 4; }
constexpr int PixelsY(int units) { return (units * BaseUnitY + 4) / 8; }

using ControlNameText = char[32];

// The form's name for the control of row `index`: "Item<id>" for a control
// with an id, "Static<index>" for one without.
void ControlName(const FormTemplate& form, std::size_t index, ControlNameText& name);
// The name of the control `id` of the form; false, with "", for an id of none.
bool ControlNameOf(const FormTemplate& form, int id, ControlNameText& name);
// The id that a control name stands for; 0 for a name of no control with an id.
int ControlId(const char* name);

// The LFM text of the form: the form is the object "DialogBox" of class
// TDialogBox; each control lies in the innermost group box that holds it.
Status WriteLfm(const FormTemplate& form, String& out);

}  // namespace doublecmd
