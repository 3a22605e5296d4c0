// Message boxes, system message texts and top-level windows.
#pragma once

#include "platform/posix/types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr int IDOK = 1;

constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
constexpr WORD LANG_NEUTRAL = 0x00;
constexpr WORD SUBLANG_DEFAULT = 0x01;
constexpr DWORD MAKELANGID(WORD primary, WORD sub) { return (static_cast<DWORD>(sub) << 10) | primary; }

constexpr UINT GW_OWNER = 4;

using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

// A POSIX process has no windows: the box goes to standard error and is
// answered at once with IDOK (tests capture it instead, see test_hooks.h).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Only FORMAT_MESSAGE_FROM_SYSTEM with FORMAT_MESSAGE_ALLOCATE_BUFFER is
// supported: `buffer` receives a LocalAlloc'd text ending in "\r\n".
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments);
HLOCAL LocalFree(HLOCAL memory);

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
HWND GetWindow(HWND window, UINT command);
BOOL IsWindowVisible(HWND window);
