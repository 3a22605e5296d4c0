// What the user sees of a failure: error boxes with the caption "Doved error".
#pragma once

#include "base/status.h"

inline constexpr const char* ErrorCaption = "Doved error";

// Shows a failed, shown Status: the system's text for its OS error first,
// then its message; zero, one or two boxes.
void ReportStatus(const Status& status);
// Shows one error box with the caption "Doved error".
void ShowError(const char* text);
