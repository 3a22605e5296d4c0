// The ids of the two dialogs and of their controls, by which the settings
// form, both dialog bindings and the tests know each control. Preprocessor
// only: windres reads it too.
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
