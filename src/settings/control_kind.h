// What a control of a dialog is, as the settings form and both dialog
// bindings treat it.
#pragma once

enum class FormControlKind : unsigned char {
  PushButton,    // OK, Cancel, About...
  CheckBox,      // two states: ticked or not
  RadioButton,   // one of a set that the form keeps exclusive
  Edit,          // text the user types, up to a limit
  ReadOnlyEdit,  // text that is shown but cannot be typed into
  Notice,        // a text the form writes
  GroupBox,      // a frame with a caption around other controls
  Label,         // a caption before a control
};
