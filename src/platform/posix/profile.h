// Profile ("INI") files, with the behaviour of the Windows originals: section
// and key names compared without regard to letter case, every other line of
// the file kept, and a file that is never left half-written.
#pragma once

#include "platform/posix/types.h"

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR path);
// Fills `bytes` only when the value is 2 * size + 2 hex digits whose last byte
// is the sum of the others modulo 256.
BOOL GetPrivateProfileStructA(LPCSTR section, LPCSTR key, LPVOID bytes, UINT size, LPCSTR path);
// A null `key` removes the section, a null `text` removes the key.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR path);
BOOL WritePrivateProfileStructA(LPCSTR section, LPCSTR key, LPCVOID bytes, UINT size, LPCSTR path);
