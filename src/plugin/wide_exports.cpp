// The Unicode entry points: each converts its strings and records and then
// does exactly what its ANSI twin does.
#include <cstring>

#include "plugin/archive_listing.h"
#include "plugin/image_changes.h"

namespace {

constexpr std::size_t WideHeaderBytesCleared = offsetof(tHeaderDataExW, CmtSize) + sizeof(int);

}  // namespace

DOVED_EXPORT HANDLE DOVED_CALL OpenArchiveW(tOpenArchiveDataW* ArchiveData) {
  HostText path;
  path.FromWidePath(ArchiveData->ArcName, os::MaxPathUnits, ArchivePathTooLong);
  return OpenArchiveHandle(ArchiveData, path, ArchiveData->OpenResult);
}

DOVED_EXPORT int DOVED_CALL ReadHeaderExW(HANDLE hArcData, tHeaderDataExW* HeaderData) {
  EntryFacts facts;
  const int code = DescribeEntry(hArcData, &facts);
  if (code == E_END_ARCHIVE) return code;
  std::memset(static_cast<void*>(HeaderData), 0, WideHeaderBytesCleared);
  ToWideField(ArchivePath(hArcData), HeaderData->ArcName, os::MaxPathUnits);
  ToWideField(facts.name, HeaderData->FileName, os::MaxPathUnits);
  HeaderData->FileTime = facts.fileTime;
  HeaderData->FileAttr = facts.fileAttr;
  HeaderData->PackSize = static_cast<unsigned>(facts.packSize);
  HeaderData->UnpSize = static_cast<unsigned>(facts.unpSize);
  return code;
}

DOVED_EXPORT int DOVED_CALL ProcessFileW(HANDLE hArcData, int Operation, WCHAR* DestPath, WCHAR* DestName) {
  HostText destName;
  if (Operation == PK_EXTRACT) destName.FromWide(DestName);
  return ProcessEntry(hArcData, Operation, DestPath != nullptr, destName);
}

// As their ANSI twins, these callbacks are of no use to this plug-in.
DOVED_EXPORT void DOVED_CALL SetChangeVolProcW(HANDLE, tChangeVolProcW) {}

DOVED_EXPORT void DOVED_CALL SetProcessDataProcW(HANDLE, tProcessDataProcW) {}

DOVED_EXPORT int DOVED_CALL PackFilesW(WCHAR* PackedFile, WCHAR* /*SubPath*/, WCHAR* SrcPath, WCHAR* AddList,
                                       int Flags) {
  HostText packedFile;
  HostText srcPath;
  HostText addList;
  packedFile.FromWide(PackedFile);
  srcPath.FromWide(SrcPath);
  addList.FromWide(AddList, TextForm::List);
  return PackHostFiles(packedFile, srcPath, addList, Flags);
}

DOVED_EXPORT int DOVED_CALL DeleteFilesW(WCHAR* PackedFile, WCHAR* DeleteList) {
  HostText packedFile;
  HostText deleteList;
  packedFile.FromWidePath(PackedFile, os::MaxPathUnits, ArchivePathTooLong);
  deleteList.FromWide(DeleteList, TextForm::List);
  return DeleteHostEntries(packedFile, deleteList);
}
