// The two dialogs as templates, which the Windows resources and the Double
// Commander forms are both made from: their frames and sizes, and the
// settings table's rows shown in between. Preprocessor only: windres reads
// it too.
#pragma once

#include "settings/control_ids.h"
#include "settings/settings_table.h"

// Both dialogs: a modal popup with caption and close box, in the shell dialog
// font, opening centred on the mouse cursor.
#define DOVED_DIALOG_STYLE \
  (DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME | DS_CENTERMOUSE | WS_POPUP | WS_CAPTION | WS_SYSMENU)
#define DOVED_DIALOG_FONT_FACE "MS Shell Dlg"
#define DOVED_DIALOG_FONT_POINTS 8
#define DOVED_DIALOG_FONT_WEIGHT 400  // normal
#define DOVED_DIALOG_FONT_CHARSET 1   // the default character set

#define DOVED_CONFIG_CAPTION "Doved config"
#define DOVED_CONFIG_WIDTH 377
#define DOVED_CONFIG_HEIGHT 333

#define DOVED_ABOUT_CAPTION "About Doved"
#define DOVED_ABOUT_WIDTH 311
#define DOVED_ABOUT_HEIGHT 124

// Each kind of control as the window system makes it: ROW(kind, id, window
// class, text, style, x, y, width, height), `kind` naming a FormControlKind.
// Every control is also a visible child window.
#define DOVED_GROUP_BOX(ROW, text, x, y, w, h) ROW(GroupBox, IDC_STATIC, "Button", text, BS_GROUPBOX, x, y, w, h)
#define DOVED_LABEL(ROW, text, x, y, w, h) ROW(Label, IDC_STATIC, "Static", text, SS_LEFT | WS_GROUP, x, y, w, h)
#define DOVED_NOTICE(ROW, id, text, x, y, w, h) \
  ROW(Notice, id, "Static", text, SS_CENTER | SS_NOPREFIX | SS_SUNKEN | WS_GROUP, x, y, w, h)
#define DOVED_BUTTON(ROW, id, text, x, y, w, h) ROW(PushButton, id, "Button", text, BS_PUSHBUTTON | WS_TABSTOP, x, y, w, h)
#define DOVED_DEFAULT_BUTTON(ROW, id, text, x, y, w, h) \
  ROW(PushButton, id, "Button", text, BS_DEFPUSHBUTTON | WS_TABSTOP, x, y, w, h)
#define DOVED_CHECK_BOX(ROW, id, text, x, y, w, h) \
  ROW(CheckBox, id, "Button", text, BS_AUTOCHECKBOX | WS_TABSTOP, x, y, w, h)
#define DOVED_RADIO_BUTTON(ROW, id, value, text, style, x, y, w, h) \
  ROW(RadioButton, id, "Button", text, BS_AUTORADIOBUTTON | style, x, y, w, h)
#define DOVED_EDIT(ROW, id, x, y, w, h) ROW(Edit, id, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, x, y, w, h)
#define DOVED_READ_ONLY_EDIT(ROW, id, x, y, w, h) \
  ROW(ReadOnlyEdit, id, "Edit", "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, x, y, w, h)

// What a settings row shows.
#define DOVED_SHOWN_FLAG(ROW, field, key, saved, value, effect, enabled, ...) __VA_ARGS__
#define DOVED_SHOWN_CHOICE(ROW, field, type, key, saved, value, outOfRange, effect, enabled, ...) __VA_ARGS__
#define DOVED_SHOWN_TEXT(ROW, field, key, saved, size, value, effect, enabled, ...) __VA_ARGS__
#define DOVED_SHOWN_NAMING_GROUP(ROW, field, key, saved)
#define DOVED_SHOWN_NAMING_FLAG(ROW, field, value, effect, enabled, ...) __VA_ARGS__
#define DOVED_SHOWN_NAMING_CHOICE(ROW, field, type, value, effect, enabled, ...) __VA_ARGS__

// Rows in template (tab) order, positions in dialog units.
#define DOVED_CONFIG_CONTROLS(ROW)                                                                                \
  DOVED_GROUP_BOX(ROW, "", 7, 2, 363, 324)                                                                        \
  DOVED_DEFAULT_BUTTON(ROW, IDC_OK, "OK", 158, 305, 60, 14)                                                       \
  DOVED_BUTTON(ROW, IDC_CANCEL, "Cancel", 229, 305, 55, 14)                                                       \
  DOVED_NOTICE(ROW, IDC_MESSAGE, "message", 15, 255, 347, 44)                                                     \
  DOVED_SETTINGS(ROW, DOVED_SHOWN_FLAG, DOVED_SHOWN_CHOICE, DOVED_SHOWN_TEXT, DOVED_SHOWN_NAMING_GROUP,            \
                 DOVED_SHOWN_NAMING_FLAG, DOVED_SHOWN_NAMING_CHOICE, DOVED_CHECK_BOX, DOVED_RADIO_BUTTON, DOVED_EDIT, \
                 DOVED_READ_ONLY_EDIT, DOVED_GROUP_BOX, DOVED_LABEL)                                               \
  DOVED_BUTTON(ROW, IDC_ABOUT_BUTTON, "About...", 92, 305, 55, 14)

#define DOVED_ABOUT_CONTROLS(ROW)                                \
  DOVED_GROUP_BOX(ROW, "", 7, 2, 297, 94)                         \
  DOVED_DEFAULT_BUTTON(ROW, IDC_OK, "OK", 130, 103, 50, 14)       \
  DOVED_NOTICE(ROW, IDC_ABOUT_TEXT, "about", 15, 12, 282, 55)     \
  DOVED_LABEL(ROW, "Config file path:", 15, 78, 65, 8)            \
  DOVED_READ_ONLY_EDIT(ROW, IDC_CONFIG_PATH, 85, 75, 211, 14)
