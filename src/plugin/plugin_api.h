// The file manager's packer-plug-in interface: its records, constants and
// the functions this library exports under their undecorated names.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
// The host's handle types, as opaque as on Windows.
using HANDLE = void*;
using HWND = struct HWND__*;
using HINSTANCE = struct HINSTANCE__*;
using DWORD = std::uint32_t;
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

using tChangeVolProc = int(DOVED_CALL*)(char* ArcName, int Mode);
using tProcessDataProc = int(DOVED_CALL*)(char* FileName, int Size);

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
