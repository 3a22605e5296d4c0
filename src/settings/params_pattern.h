// The BS-DOS parameter pattern: the user's text with the six tags, compiled
// into the codes that naming replaces by the header's values.
#pragma once

#include "settings/settings.h"

// Validates a pattern text and compiles it into `out`; "" and false if invalid.
bool CompileParamsPattern(const char* text, char out[PatternSize]);
