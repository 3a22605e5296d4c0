// Names in the form of the sibling Rarev plug-in: the tape name, the type in
// decimal, a gap, and the header written out as BS-DOS parameters through the
// user's compiled pattern.
#pragma once

#include "base/status.h"
#include "settings/settings.h"
#include "support/ansi_string.h"
#include "tape/name_escape.h"
#include "tape/rarev_record.h"

// Appends base name, type, gap and parameters of a header entry.
Status RarevFileName(String& s, const RarevRecord& r, const NamingModeGroup& m);
// Appends the escaped tape name, with device names such as PRN and con
// written wholly in escape form.
Status RarevBaseName(String& s, const char (&name)[TapeNameLength]);
// Appends the pattern after its leading spaces with each field code replaced
// by the field's value.
Status AppendParams(String& s, const RarevRecord& r, const NamingModeGroup& m);
