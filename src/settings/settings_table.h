// Every setting, one row each: its field, where Doved.cfg keeps it, its
// default, what a change of it means, when its controls take input, and what
// the settings dialog shows of it, with places in dialog units. The record,
// its defaults, loading and saving, the dialog's controls and their rules,
// and the README's key check all come from this table: adding a setting is
// adding a row. Preprocessor only: windres reads it too.
//
// The rows stand in the dialog's tab order; `saved` is the place of a key in
// a Doved.cfg that Doved writes anew. A row is one of:
//   FLAG(R, field, key, saved, default, effect, enabled, shown...)
//       a bool kept as "1" or "0", shown as a check box;
//   CHOICE(R, field, type, key, saved, default, outOfRange, effect, enabled, shown...)
//       one of the values of its radio buttons, kept in decimal; a stored
//       number outside them is clamped to the nearest (Clamp) or ignored
//       (Ignore);
//   TEXT(R, field, key, saved, size, default, effect, enabled, shown...)
//       a text field of `size` bytes, kept whole as a struct value;
//   NAMING_GROUP(R, field, key, saved)
//       the group that holds the NAMING_ rows and the compiled pattern, kept
//       as one struct value that is taken only in the group's own version;
//   NAMING_FLAG(R, field, default, effect, enabled, shown...)
//   NAMING_CHOICE(R, field, type, default, effect, enabled, shown...)
//       a bool or a choice inside that group.
// What is shown, in order: GROUP_BOX(R, text, x, y, width, height) and
// LABEL(R, text, x, y, width, height) around or before the controls;
// CHECK(R, id, text, x, y, width, height); RADIO(R, id, value, text, style,
// x, y, width, height), with window style bits of its own; EDIT(R, id, x, y,
// width, height) and READ_ONLY_EDIT(R, id, x, y, width, height). R is the
// caller's, handed to every row and control.
// Effects: Renames (a change renames the entries of images opened
// afterwards), RenamesThroughPattern (the same, where it changes the
// compiled pattern), Quiet. Enabled: Always, UnlessRarev (the setting is
// also off in force while "Rarev compatible" is ticked), WithRarev,
// WithDetectHobeta.
#pragma once

#include "settings/control_ids.h"

// The leading spaces of both built-in patterns.
#define DOVED_PATTERN_INDENT "                              "

#define DOVED_SETTINGS(R, FLAG, CHOICE, TEXT, NAMING_GROUP, NAMING_FLAG, NAMING_CHOICE, CHECK, RADIO, EDIT,   \
                       READ_ONLY_EDIT, GROUP_BOX, LABEL)                                                     \
  FLAG(R, RarevCompatible, "RarevCompatible", 1, false, Renames, Always, GROUP_BOX(R, "Mode", 14, 10, 348, 29) \
       CHECK(R, IDC_RAREV_COMPATIBLE, "Rarev compatible", 26, 22, 74, 10))                                    \
  CHOICE(R, FileNameNumbering, Numbering, "FileNameNumbering", 2, Numbering::Dec, Clamp, Renames, UnlessRarev, \
         GROUP_BOX(R, "TR-DOS options", 14, 45, 348, 46) LABEL(R, "Numbering:", 22, 59, 39, 8)               \
         RADIO(R, IDC_NUMBERING_NONE, Numbering::None, "None", 0, 72, 58, 36, 10)                             \
         RADIO(R, IDC_NUMBERING_HEX, Numbering::Hex, "Hex", 0, 113, 58, 28, 10)                               \
         RADIO(R, IDC_NUMBERING_DEC, Numbering::Dec, "Dec", 0, 146, 58, 28, 10))                              \
  TEXT(R, FileNameNumberingSeparator, "FileNameNumberingSeparator", 3, 9, "!   ", Renames, Always,            \
       LABEL(R, "Separator:", 182, 59, 36, 8) READ_ONLY_EDIT(R, IDC_SEPARATOR, 224, 56, 54, 14))              \
  FLAG(R, ExtractHobeta, "ExtractHobeta", 6, false, Renames, UnlessRarev,                                    \
       CHECK(R, IDC_EXTRACT_HOBETA, "Extract hobeta", 22, 74, 67, 10))                                        \
  FLAG(R, DetectHobeta, "DetectHobeta", 5, true, Quiet, Always,                                              \
       CHECK(R, IDC_DETECT_HOBETA, "Detect hobeta", 95, 74, 66, 10))                                          \
  FLAG(R, SmartLenDetect, "SmartLenDetect", 4, true, Renames, WithDetectHobeta,                              \
       CHECK(R, IDC_SMART_LENGTH, "Smart file length detection", 167, 74, 110, 10))                           \
  NAMING_GROUP(R, FileNamingMode, "FileNamingMode", 7)                                                       \
  NAMING_FLAG(R, ParamsInDecimal, false, Renames, WithRarev, GROUP_BOX(R, "BS-DOS options", 14, 97, 348, 151) \
              CHECK(R, IDC_PARAMS_IN_DECIMAL, "Parameters in decimal", 23, 110, 102, 10))                     \
  TEXT(R, ParamsPattern1, "ParamsPattern1", 9, 200,                                                          \
       DOVED_PATTERN_INDENT "<len> <start> <vars> <body> <flag> <attr>", RenamesThroughPattern, WithRarev,   \
       GROUP_BOX(R, "Pattern", 23, 126, 331, 49) EDIT(R, IDC_PATTERN1, 53, 137, 283, 14))                     \
  TEXT(R, ParamsPattern2, "ParamsPattern2", 10, 200,                                                         \
       DOVED_PATTERN_INDENT "LEN=<len> STA=<start> VAR=<vars> BOD=<body> FLA=<flag> ATT=<attr>",              \
       RenamesThroughPattern, WithRarev, EDIT(R, IDC_PATTERN2, 53, 154, 283, 14))                             \
  CHOICE(R, ParamsPatternN, std::uint8_t, "ParamsPatternN", 8, 1, Ignore,                                     \
         RenamesThroughPattern, WithRarev,                                                                   \
         RADIO(R, IDC_SELECT_PATTERN1, 1, "", WS_GROUP | WS_TABSTOP, 32, 139, 16, 10)                        \
         RADIO(R, IDC_SELECT_PATTERN2, 2, "", WS_GROUP | WS_TABSTOP, 32, 155, 16, 10))                       \
  NAMING_CHOICE(R, ParamsGap, GapMode, GapMode::Aligned, Renames, WithRarev,                                 \
                GROUP_BOX(R, "Gap before parameters", 23, 180, 331, 61)                                      \
                RADIO(R, IDC_GAP_ALIGNED, GapMode::Aligned, "I use 'Show file extensions - aligned' option", \
                      WS_GROUP | WS_TABSTOP, 32, 193, 316, 10)                                               \
                RADIO(R, IDC_GAP_VARIABLE_FONT, GapMode::VariableFont,                                       \
                      "I use 'Show file extensions - directly after filename' option and variable-width font in panels", \
                      WS_GROUP | WS_TABSTOP, 32, 207, 316, 10)                                               \
                RADIO(R, IDC_GAP_FIXED_FONT, GapMode::FixedFont,                                             \
                      "I use 'Show file extensions - directly after filename' option and fixed-width font in panels", \
                      WS_GROUP | WS_TABSTOP, 32, 221, 316, 10))
