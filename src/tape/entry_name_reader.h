// Reading a plain-mode entry name back into the tape name and type it was
// formed from, and recognising the names of headerless blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings.h"
#include "tape/name_escape.h"

// Whether `name` (a last path component) stands for a headerless block:
// "headerless" and 1-10 digits always; "data" and 1-10 digits after an
// optional number prefix only when the file carries the headerless time mark.
bool IsHeaderlessName(const char* name, bool headerlessTime, const Settings& s);

// Length of a number prefix (two digits or upper-case hexadecimal digits, or
// three decimal digits, then the separator as stored) at the start of `name`; 0 without one.
std::size_t SkipNumberPrefix(const char* name, const Settings& s);

// Reads an escape "#XX" (upper-case hexadecimal) at `p` into `out` and
// advances past it; false, with nothing read, when `p` holds none before `end`.
bool DecodeEscape(const char*& p, const char* end, std::uint8_t& out);

// Reads one name byte at `p`, an escape or a character (any character
// beyond ASCII as one "?"), and advances; false at `end`. `out` may be null.
bool DecodeNameChar(const char*& p, const char* end, std::uint8_t* out);

// Takes the character at `p`, before `end`, and advances past it: an ASCII
// byte as itself; the UTF-8 form of any other character, or a byte that
// starts none, as one "?".
std::uint8_t TakeNameChar(const char*& p, const char* end);

// The end of the text before a trailing duplicate mark "[digits]" that starts
// at or after `start`; `end` when there is none.
const char* DropDuplicateMark(const char* start, const char* end);

// What a plain-mode name reads back as.
struct ParsedEntryName {
  std::uint8_t typeChar;              // first byte of the extension, "C" without one
  std::uint8_t name[TapeNameLength];  // the first 10 name bytes, padded with spaces
  bool hobetaMark;                    // the extension began with "$" (only with DetectHobeta)
  std::size_t nameLength;             // name bytes read, all of them
  std::size_t extLength;              // the extension's length, "$" included
};

// The reverse of the plain-mode name of the last component of `path`.
ParsedEntryName ParseEntryName(const char* path, const Settings& s);
