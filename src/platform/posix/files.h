// File calls: opening with share modes, reading sizes, writing, mapping,
// deleting, renaming, file times and their DOS form.
//
// Share modes are kept with advisory locks (flock) on the open file: an open
// that may write shares the file with nobody, a read-only open that shares
// reading admits other such readers. A conflicting open, delete or rename
// fails at once with ERROR_SHARING_VIOLATION (or ERROR_ACCESS_DENIED for a
// rename over a file in use), between processes and within one alike.
//
// A backslash in a path is a separator. A regular file that has no write
// permission bit at all stands for a file with the read-only attribute.
#pragma once

#include "platform/posix/types.h"

struct SECURITY_ATTRIBUTES;  // never used: every caller passes null
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;  // never used: all I/O is synchronous
using LPOVERLAPPED = OVERLAPPED*;

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;

constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD FILE_SHARE_DELETE = 0x00000004;

constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;

constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x00000008;

// System error codes of the file calls beyond those of types.h.
constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
constexpr DWORD ERROR_INVALID_ADDRESS = 487;
constexpr DWORD ERROR_FILE_INVALID = 1006;
constexpr DWORD ERROR_MAPPED_ALIGNMENT = 1132;
constexpr DWORD ERROR_USER_MAPPED_FILE = 1224;

// GetLastError after success: ERROR_ALREADY_EXISTS when CREATE_ALWAYS or
// OPEN_ALWAYS found the file, else ERROR_SUCCESS. CREATE_NEW on an existing
// file fails with ERROR_FILE_EXISTS. Only regular files can be opened.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
// Closes a file or a mapping. The handle is gone even when this reports failure.
BOOL CloseHandle(HANDLE handle);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
// Reads at the file position until `count` bytes or the end of the file;
// at the end it succeeds with fewer bytes, or none.
BOOL ReadFile(HANDLE file, LPVOID bytes, DWORD count, DWORD* read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID bytes, DWORD count, DWORD* written, LPOVERLAPPED overlapped);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* newPosition, DWORD method);
// Fails with ERROR_USER_MAPPED_FILE while the file has a mapping or a view.
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);

// Only maximum size 0 (the whole file) and unnamed mappings; an empty file
// cannot be mapped (ERROR_FILE_INVALID). The mapping outlives its file handle.
HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protection, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR name);
// `bytes` 0 maps from the offset to the end of the mapping.
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID view);

BOOL DeleteFileA(LPCSTR path);
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);

// The creation time lives in the user extended attribute
// "user.doved.creation_time" (8 bytes, little-endian). Where none is stored,
// GetFileTime reports the file system's birth time, or 0 when it keeps none;
// where the file system keeps no user attributes, SetFileTime drops the
// creation time as a file system without that field would. A null time, or
// one that is 0, is left unchanged.
BOOL GetFileTime(HANDLE file, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);
BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);
// Applies the time zone's offset in force now, as Windows does.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
// Years 1980 to 2107; seconds in steps of two, rounded down.
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* dosDate, WORD* dosTime);
