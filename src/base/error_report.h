// What the user sees of a failure: error boxes with the caption "Doved error".
#pragma once

#include "base/status.h"

inline constexpr const char* ErrorCaption = "Doved error";

// Shows a failed, shown Status: the system's text for its OS error first,
// then its message; zero, one or two boxes.
void ReportStatus(const Status& status);
// Shows one error box with the caption "Doved error".
void ShowError(const char* text);

// A host that shows error boxes itself (Double Commander hands the library
// its own once it has loaded it) takes every box from then on; null gives
// them back to the system's error box. Returns once the box is answered.
using ErrorBoxShower = void (*)(const char* text, const char* caption);
void SetErrorBoxShower(ErrorBoxShower shower);
