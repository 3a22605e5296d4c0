// The one binding of each entry point to its implementation, for both kinds
// of host string: `char` in the ANSI code page, `WCHAR` in UTF-16. Each
// export is this binding at its own types.
#pragma once

#include <cstddef>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "plugin/archive_listing.h"
#include "plugin/host_text.h"
#include "plugin/image_changes.h"

// A path's room in the host's records, in its units with the NUL: 260 bytes
// in the ANSI ones, the wide ones' 1024 units.
template <typename Unit>
inline constexpr std::size_t RecordPathUnits = std::is_same_v<Unit, char> ? 260 : os::MaxPathUnits;

template <typename Request>
HANDLE OpenArchiveFrom(Request* data) {
  HostText path;
  path.TakePath(data->ArcName, RecordPathUnits<std::remove_pointer_t<decltype(data->ArcName)>>, ArchivePathTooLong);
  return OpenArchiveHandle(data, path, data->OpenResult);
}

// Fills the record as ReadHeader does: every field up to CmtSize cleared
// first, CmtState and what follows it left alone.
template <typename Header>
int ReadHeaderInto(HANDLE archive, Header* header) {
  EntryFacts facts;
  const int code = DescribeEntry(archive, &facts);
  if (code == E_END_ARCHIVE) return code;
  std::memset(static_cast<void*>(header), 0, offsetof(Header, CmtSize) + sizeof header->CmtSize);
  ToField(ArchivePath(archive), header->ArcName, std::size(header->ArcName));
  ToField(facts.name, header->FileName, std::size(header->FileName));
  header->FileTime = facts.fileTime;
  header->FileAttr = facts.fileAttr;
  header->PackSize = static_cast<decltype(header->PackSize)>(facts.packSize);
  header->UnpSize = static_cast<decltype(header->UnpSize)>(facts.unpSize);
  return code;
}

template <typename Unit>
int ProcessFileFrom(HANDLE archive, int operation, const Unit* destPath, const Unit* destName) {
  HostText name;
  if (operation == PK_EXTRACT) name.Take(destName);
  return ProcessEntry(archive, operation, destPath != nullptr, name);
}

template <typename Unit>
int PackFilesFrom(const Unit* packedFile, const Unit* srcPath, const Unit* addList, int flags) {
  HostText packed;
  HostText source;
  HostText list;
  packed.Take(packedFile);
  source.Take(srcPath);
  list.Take(addList, TextForm::List);
  return PackHostFiles(packed, source, list, flags);
}

// A path that the record cannot hold fails at the open, as the host's OpenArchive would.
template <typename Unit>
int DeleteFilesFrom(const Unit* packedFile, const Unit* deleteList) {
  HostText packed;
  HostText list;
  packed.TakePath(packedFile, RecordPathUnits<Unit>, ArchivePathTooLong);
  list.Take(deleteList, TextForm::List);
  return DeleteHostEntries(packed, list);
}
