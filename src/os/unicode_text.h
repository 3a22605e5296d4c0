// UTF-8, the text of every path and name inside Doved, and UTF-16, the text
// of Windows' wide calls and of the host's wide records. A Windows name may
// hold a lone surrogate; it travels in UTF-8 as its own three bytes, so that
// every name the system gives comes back to it unchanged.
#pragma once

#include <cstdint>

namespace os {

// A UTF-16 unit as the system's wide calls take it.
#ifdef _WIN32
using Utf16Unit = wchar_t;
#else
using Utf16Unit = char16_t;
#endif

// The longest path that the host's wide records hold, in UTF-16 units with
// its NUL, and the bytes of its UTF-8 form: at most three for each unit.
inline constexpr std::uint32_t MaxPathUnits = 1024;
inline constexpr std::uint32_t MaxPathBytes = 3 * (MaxPathUnits - 1) + 1;

// The bytes of the one character whose UTF-8 form starts at `p`, before
// `end`; 0 when the bytes there are no such form.
std::uint32_t Utf8SequenceLength(const char* p, const char* end);

// The NUL-ended `text` as UTF-16 in `out`, with its NUL; false when it does
// not fit `size` units. A byte that starts no UTF-8 form becomes U+FFFD.
bool Utf8ToUtf16(const char* text, Utf16Unit* out, std::uint32_t size);

// The NUL-ended `text` as UTF-8 in `out`, with its NUL; false when it does
// not fit `size` bytes.
bool Utf16ToUtf8(const Utf16Unit* text, char* out, std::uint32_t size);

// The UTF-16 units of `text` before its NUL.
std::uint32_t Utf16Length(const Utf16Unit* text);

}  // namespace os
