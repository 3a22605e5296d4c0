// The BS-DOS parameter pattern: the user's text with the six tags, compiled
// into the codes that naming replaces by the header's values.
#pragma once

#include <cstdint>

#include "settings/settings.h"

// Validates a pattern text and compiles it into `out`; "" and false if invalid.
bool CompileParamsPattern(const char* text, char out[PatternSize]);

// The pattern text that `number` selects: the second for 2, else the first.
char* NumberedPattern(Settings& s, std::uint8_t number);
const char* NumberedPattern(const Settings& s, std::uint8_t number);
inline char* SelectedPattern(Settings& s) { return NumberedPattern(s, s.ParamsPatternN); }
inline const char* SelectedPattern(const Settings& s) { return NumberedPattern(s, s.ParamsPatternN); }
