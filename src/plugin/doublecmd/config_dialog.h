// The settings dialog in a Double Commander form: the settings form
// (config_form.h) holds the controls' states and rules; this shows them in
// the form's controls and hands the user's clicks and typing to it.
#pragma once

#include "base/status.h"
#include "settings/settings.h"

namespace doublecmd {

// Shows the settings dialog over the settings `opened`. True, with the
// settings of the controls in `accepted`, when the user's OK was accepted;
// false after Cancel, the close box, or when the host shows no forms.
// Failures to make the form are in `status`.
bool ShowConfigDialog(const Settings& opened, Settings& accepted, Status& status);

}  // namespace doublecmd
