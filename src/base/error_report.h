// What the user sees of a failure: message boxes owned by the host's window.
#pragma once

#include "base/status.h"
#include "platform/windows_api.h"

inline constexpr const char* ErrorCaption = "Doved error";

// Shows a failed, shown Status: the system's text for its OS error first,
// then its message; zero, one or two boxes.
void ReportStatus(const Status& status);
// Shows one error box with the caption "Doved error".
void ShowError(const char* text);
// The first visible, unowned top-level window of this process, or null.
HWND FindOwnerWindow();
