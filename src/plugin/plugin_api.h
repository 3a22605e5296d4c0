// The file manager's packer-plug-in interface: its records, constants and
// the functions this library exports under their undecorated names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "os/unicode_text.h"

#ifdef _WIN32
#include <windows.h>
#else
// The host's handle types, as opaque as on Windows.
using HANDLE = void*;
using HWND = struct HWND__*;
using HINSTANCE = struct HINSTANCE__*;
using DWORD = std::uint32_t;
// A UTF-16 unit of the wide records, as Double Commander passes them.
using WCHAR = os::Utf16Unit;
#endif

#ifdef _WIN32
#define DOVED_EXPORT extern "C"
#define DOVED_CALL __stdcall
#else
#define DOVED_EXPORT extern "C" __attribute__((visibility("default")))
#define DOVED_CALL
#endif

struct tOpenArchiveData {
  char* ArcName;
  int OpenMode;
  int OpenResult;
  char* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
};

struct tHeaderData {
  char ArcName[260];
  char FileName[260];
  int Flags;
  int PackSize;
  int UnpSize;
  int HostOS;
  int FileCRC;
  int FileTime;
  int UnpVer;
  int Method;
  int FileAttr;
  char* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
};

// The wide records: the same fields, every string in UTF-16.
struct tOpenArchiveDataW {
  WCHAR* ArcName;
  int OpenMode;
  int OpenResult;
  WCHAR* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
};

struct tHeaderDataExW {
  WCHAR ArcName[os::MaxPathUnits];
  WCHAR FileName[os::MaxPathUnits];
  int Flags;
  unsigned int PackSize;
  unsigned int PackSizeHigh;
  unsigned int UnpSize;
  unsigned int UnpSizeHigh;
  int HostOS;
  int FileCRC;
  int FileTime;
  int UnpVer;
  int Method;
  int FileAttr;
  char* CmtBuf;
  int CmtBufSize;
  int CmtSize;
  int CmtState;
  char Reserved[1024];
};

// What the host tells a plug-in once it has loaded it: its own settings file.
struct PackDefaultParamStruct {
  int size;  // of the whole record
  DWORD PluginInterfaceVersionLow;
  DWORD PluginInterfaceVersionHi;
  char DefaultIniName[260];
};
static_assert(sizeof(PackDefaultParamStruct) == 272);

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(tOpenArchiveData) == 40);
static_assert(offsetof(tOpenArchiveData, CmtBuf) == 16);
static_assert(offsetof(tHeaderData, CmtBuf) == 560);
static_assert(offsetof(tHeaderData, CmtSize) + sizeof(int) == 576);
static_assert(sizeof(tOpenArchiveDataW) == sizeof(tOpenArchiveData));
static_assert(offsetof(tHeaderDataExW, Flags) == 4096);
static_assert(offsetof(tHeaderDataExW, CmtBuf) == 4144);
static_assert(sizeof(tHeaderDataExW) == 5192);
#endif

constexpr int PK_SKIP = 0;
constexpr int PK_TEST = 1;
constexpr int PK_EXTRACT = 2;

constexpr int PK_OM_LIST = 0;
constexpr int PK_OM_EXTRACT = 1;

constexpr int PK_PACK_MOVE_FILES = 1;
constexpr int PK_PACK_SAVE_PATHS = 2;

constexpr int PK_CAPS_NEW = 1;
constexpr int PK_CAPS_MODIFY = 2;
constexpr int PK_CAPS_MULTIPLE = 4;
constexpr int PK_CAPS_DELETE = 8;
constexpr int PK_CAPS_OPTIONS = 16;
constexpr int PK_CAPS_SEARCHTEXT = 128;

constexpr int BACKGROUND_UNPACK = 1;
constexpr int BACKGROUND_PACK = 2;

using tChangeVolProc = int(DOVED_CALL*)(char* ArcName, int Mode);
using tProcessDataProc = int(DOVED_CALL*)(char* FileName, int Size);
using tChangeVolProcW = int(DOVED_CALL*)(WCHAR* ArcName, int Mode);
using tProcessDataProcW = int(DOVED_CALL*)(WCHAR* FileName, int Size);

DOVED_EXPORT HANDLE DOVED_CALL OpenArchive(tOpenArchiveData* ArchiveData);
DOVED_EXPORT int DOVED_CALL ReadHeader(HANDLE hArcData, tHeaderData* HeaderData);
DOVED_EXPORT int DOVED_CALL ProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName);
DOVED_EXPORT int DOVED_CALL CloseArchive(HANDLE hArcData);
DOVED_EXPORT void DOVED_CALL SetChangeVolProc(HANDLE hArcData, tChangeVolProc pChangeVolProc);
DOVED_EXPORT void DOVED_CALL SetProcessDataProc(HANDLE hArcData, tProcessDataProc pProcessDataProc);
DOVED_EXPORT int DOVED_CALL GetPackerCaps();
DOVED_EXPORT int DOVED_CALL PackFiles(char* PackedFile, char* SubPath, char* SrcPath, char* AddList, int Flags);
DOVED_EXPORT int DOVED_CALL DeleteFiles(char* PackedFile, char* DeleteList);
DOVED_EXPORT void DOVED_CALL ConfigurePacker(HWND Parent, HINSTANCE DllInstance);
DOVED_EXPORT void DOVED_CALL PackSetDefaultParams(PackDefaultParamStruct* dps);
// The Unicode entry points, which a host calls in place of the ANSI ones
// whenever they are exported (the Windows build), and whether the host may
// pack and unpack on a thread of its own.
DOVED_EXPORT HANDLE DOVED_CALL OpenArchiveW(tOpenArchiveDataW* ArchiveData);
DOVED_EXPORT int DOVED_CALL ReadHeaderExW(HANDLE hArcData, tHeaderDataExW* HeaderData);
DOVED_EXPORT int DOVED_CALL ProcessFileW(HANDLE hArcData, int Operation, WCHAR* DestPath, WCHAR* DestName);
DOVED_EXPORT void DOVED_CALL SetChangeVolProcW(HANDLE hArcData, tChangeVolProcW pChangeVolProc);
DOVED_EXPORT void DOVED_CALL SetProcessDataProcW(HANDLE hArcData, tProcessDataProcW pProcessDataProc);
DOVED_EXPORT int DOVED_CALL PackFilesW(WCHAR* PackedFile, WCHAR* SubPath, WCHAR* SrcPath, WCHAR* AddList, int Flags);
DOVED_EXPORT int DOVED_CALL DeleteFilesW(WCHAR* PackedFile, WCHAR* DeleteList);
DOVED_EXPORT int DOVED_CALL GetBackgroundFlags();
