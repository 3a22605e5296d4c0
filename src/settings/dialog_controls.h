// The ids of the two dialogs and their controls, and the dialog templates
// that the resource compiler builds the Windows resources from. The settings
// form (config_form.h) knows the controls by these ids. Preprocessor only:
// windres reads it too.
#pragma once

#define IDD_CONFIG 101
#define IDD_ABOUT 103

#define IDC_STATIC (-1)
#define IDC_OK 1  // the system's IDOK
#define IDC_CANCEL 2  // the system's IDCANCEL, also the close box
#define IDC_ABOUT_TEXT 1001
#define IDC_CONFIG_PATH 1002
#define IDC_MESSAGE 1003
#define IDC_ABOUT_BUTTON 1004
#define IDC_PARAMS_IN_DECIMAL 1021
#define IDC_PATTERN1 1023
#define IDC_PATTERN2 1024
#define IDC_SELECT_PATTERN1 1025
#define IDC_SELECT_PATTERN2 1026
#define IDC_GAP_ALIGNED 1031
#define IDC_GAP_VARIABLE_FONT 1032
#define IDC_GAP_FIXED_FONT 1033
#define IDC_NUMBERING_NONE 1211
#define IDC_NUMBERING_HEX 1212
#define IDC_NUMBERING_DEC 1213
#define IDC_SEPARATOR 1216
#define IDC_RAREV_COMPATIBLE 1217
#define IDC_SMART_LENGTH 1221
#define IDC_DETECT_HOBETA 1224
#define IDC_EXTRACT_HOBETA 1225

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

// Rows in template (tab) order: ITEM(id, window class, text, style, x, y, width, height),
// positions in dialog units. Every control is also a visible child window.
#define DOVED_CONFIG_CONTROLS(ITEM)                                                                         \
  ITEM(IDC_STATIC, "Button", "", BS_GROUPBOX, 7, 2, 363, 324)                                               \
  ITEM(IDC_OK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 158, 305, 60, 14)                               \
  ITEM(IDC_CANCEL, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 229, 305, 55, 14)                          \
  ITEM(IDC_MESSAGE, "Static", "message", SS_CENTER | SS_NOPREFIX | SS_SUNKEN | WS_GROUP, 15, 255, 347, 44)  \
  ITEM(IDC_STATIC, "Button", "Mode", BS_GROUPBOX, 14, 10, 348, 29)                                          \
  ITEM(IDC_RAREV_COMPATIBLE, "Button", "Rarev compatible", BS_AUTOCHECKBOX | WS_TABSTOP, 26, 22, 74, 10)    \
  ITEM(IDC_STATIC, "Button", "TR-DOS options", BS_GROUPBOX, 14, 45, 348, 46)                                \
  ITEM(IDC_STATIC, "Static", "Numbering:", SS_LEFT | WS_GROUP, 22, 59, 39, 8)                               \
  ITEM(IDC_NUMBERING_NONE, "Button", "None", BS_AUTORADIOBUTTON, 72, 58, 36, 10)                            \
  ITEM(IDC_NUMBERING_HEX, "Button", "Hex", BS_AUTORADIOBUTTON, 113, 58, 28, 10)                             \
  ITEM(IDC_NUMBERING_DEC, "Button", "Dec", BS_AUTORADIOBUTTON, 146, 58, 28, 10)                             \
  ITEM(IDC_STATIC, "Static", "Separator:", SS_LEFT | WS_GROUP, 182, 59, 36, 8)                              \
  ITEM(IDC_SEPARATOR, "Edit", "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 224, 56, 54, 14)                \
  ITEM(IDC_EXTRACT_HOBETA, "Button", "Extract hobeta", BS_AUTOCHECKBOX | WS_TABSTOP, 22, 74, 67, 10)        \
  ITEM(IDC_DETECT_HOBETA, "Button", "Detect hobeta", BS_AUTOCHECKBOX | WS_TABSTOP, 95, 74, 66, 10)          \
  ITEM(IDC_SMART_LENGTH, "Button", "Smart file length detection", BS_AUTOCHECKBOX | WS_TABSTOP, 167, 74,    \
       110, 10)                                                                                             \
  ITEM(IDC_STATIC, "Button", "BS-DOS options", BS_GROUPBOX, 14, 97, 348, 151)                               \
  ITEM(IDC_PARAMS_IN_DECIMAL, "Button", "Parameters in decimal", BS_AUTOCHECKBOX | WS_TABSTOP, 23, 110,     \
       102, 10)                                                                                             \
  ITEM(IDC_STATIC, "Button", "Pattern", BS_GROUPBOX, 23, 126, 331, 49)                                      \
  ITEM(IDC_PATTERN1, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 53, 137, 283, 14)                 \
  ITEM(IDC_PATTERN2, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 53, 154, 283, 14)                 \
  ITEM(IDC_SELECT_PATTERN1, "Button", "", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 32, 139, 16, 10)      \
  ITEM(IDC_SELECT_PATTERN2, "Button", "", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 32, 155, 16, 10)      \
  ITEM(IDC_STATIC, "Button", "Gap before parameters", BS_GROUPBOX, 23, 180, 331, 61)                        \
  ITEM(IDC_GAP_ALIGNED, "Button", "I use 'Show file extensions - aligned' option",                          \
       BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 32, 193, 316, 10)                                        \
  ITEM(IDC_GAP_VARIABLE_FONT, "Button",                                                                     \
       "I use 'Show file extensions - directly after filename' option and variable-width font in panels",   \
       BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 32, 207, 316, 10)                                        \
  ITEM(IDC_GAP_FIXED_FONT, "Button",                                                                        \
       "I use 'Show file extensions - directly after filename' option and fixed-width font in panels",      \
       BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 32, 221, 316, 10)                                        \
  ITEM(IDC_ABOUT_BUTTON, "Button", "About...", BS_PUSHBUTTON | WS_TABSTOP, 92, 305, 55, 14)

#define DOVED_ABOUT_CONTROLS(ITEM)                                                                          \
  ITEM(IDC_STATIC, "Button", "", BS_GROUPBOX, 7, 2, 297, 94)                                                \
  ITEM(IDC_OK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 130, 103, 50, 14)                               \
  ITEM(IDC_ABOUT_TEXT, "Static", "about", SS_CENTER | SS_NOPREFIX | SS_SUNKEN | WS_GROUP, 15, 12, 282, 55)  \
  ITEM(IDC_STATIC, "Static", "Config file path:", SS_LEFT | WS_GROUP, 15, 78, 65, 8)                        \
  ITEM(IDC_CONFIG_PATH, "Edit", "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 85, 75, 211, 14)
