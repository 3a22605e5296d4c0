// The escape form that keeps every tape byte representable in a file name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/status.h"
#include "support/ansi_string.h"

inline constexpr std::size_t TapeNameLength = 10;

// Appends "#" and the two upper-case hexadecimal digits of `byte`.
Status AppendEscapeForm(String& s, std::uint8_t byte);

// Appends `byte` itself, or "#" and its two upper-case hexadecimal digits when
// it may not stand as itself (invalid, 0x7F and above, "#", and a space when
// `escapeSpace` is set).
Status EscapeNameChar(String& s, std::uint8_t byte, bool escapeSpace);

// Appends the tape name without its trailing spaces, cut to `keep` bytes,
// each byte escaped. A name that Windows would open as a device (CON.B,
// nul.$C) is written with its device part wholly in escape form.
Status AppendTapeName(String& s, const char (&name)[TapeNameLength], std::size_t keep);
