// What Double Commander lends the library once it has started it: its error
// box and the calls that show a Lazarus form. Until then, and with another
// host, there are none.
#pragma once

#include <cstdint>

#include "plugin/doublecmd/extension.h"

namespace doublecmd {

// Whether the host can show a form and talk to its controls.
bool CanShowForms();
// Shows the LFM text as a modal form and sends its events to `proc`; the
// host's answer (non-zero for OK), 0 when no form can be shown.
int ShowForm(const char* lfm, std::uint32_t size, DlgProc proc);
// Sends a message to the control `item` of the form `dialog`.
std::intptr_t SendToControl(std::uintptr_t dialog, const char* item, std::intptr_t message, std::intptr_t wParam = 0,
                            std::intptr_t lParam = 0);

}  // namespace doublecmd
