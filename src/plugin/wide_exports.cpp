// The Unicode entry points: each converts its strings and records and then
// does exactly what its ANSI twin does.
#include "plugin/host_bindings.h"

DOVED_EXPORT HANDLE DOVED_CALL OpenArchiveW(tOpenArchiveDataW* ArchiveData) { return OpenArchiveFrom(ArchiveData); }

DOVED_EXPORT int DOVED_CALL ReadHeaderExW(HANDLE hArcData, tHeaderDataExW* HeaderData) {
  return ReadHeaderInto(hArcData, HeaderData);
}

DOVED_EXPORT int DOVED_CALL ProcessFileW(HANDLE hArcData, int Operation, WCHAR* DestPath, WCHAR* DestName) {
  return ProcessFileFrom(hArcData, Operation, DestPath, DestName);
}

// As their ANSI twins, these callbacks are of no use to this plug-in.
DOVED_EXPORT void DOVED_CALL SetChangeVolProcW(HANDLE, tChangeVolProcW) {}

DOVED_EXPORT void DOVED_CALL SetProcessDataProcW(HANDLE, tProcessDataProcW) {}

DOVED_EXPORT int DOVED_CALL PackFilesW(WCHAR* PackedFile, WCHAR* /*SubPath*/, WCHAR* SrcPath, WCHAR* AddList,
                                       int Flags) {
  return PackFilesFrom(PackedFile, SrcPath, AddList, Flags);
}

DOVED_EXPORT int DOVED_CALL DeleteFilesW(WCHAR* PackedFile, WCHAR* DeleteList) {
  return DeleteFilesFrom(PackedFile, DeleteList);
}
