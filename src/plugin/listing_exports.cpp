// The entry points by which the host lists, tests and extracts an image.
#include <cstring>
#include <new>

#include "base/error_report.h"
#include "plugin/archive_handle.h"
#include "plugin/host_conventions.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"
#include "support/mix_clock.h"
#include "support/random_pool.h"
#include "tape/block_checksum.h"
#include "tape/entry_list.h"
#include "tape/extracted_form.h"
#include "tape/tape_entry.h"
#include "tape/time_code.h"

namespace {

constexpr std::size_t HeaderBytesCleared = offsetof(tHeaderData, CmtSize) + sizeof(int);
constexpr std::size_t OpenRequestBytesMixed = 36;

int Finish(const Status& status) {
  ReportStatus(status);
  return HostCode(status);
}

void FreeHandle(ArchiveHandle* handle) {
  ReleaseHandle(*handle);
  handle->~ArchiveHandle();
  MemFree(handle);
}

bool IsChecksumValid(const TapeEntry& entry) { return BlockChecksum(entry.dataBlock, entry.dataBlockLength) == 0; }

bool WriteEntry(DiskFile& target, const TapeEntry& entry, const TapeImage& image) {
  for (const ExtractedPiece& piece : ExtractedForm(entry, image.headerlessDigits)) {
    if (!target.Write(piece.bytes, piece.length)) return false;
  }
  return true;
}

Status Extract(const ArchiveHandle& handle, const TapeEntry& entry, const char* destName) {
  DiskFile target;
  const FileOptions newTarget{.access = FileAccess::ReadWrite, .disposition = Disposition::CreateAlways, .onFailure = OnFailure::Delete};
  if (target.Open(destName, newTarget).IsFailed()) return SilentFailure(E_ECREATE);
  const bool written = WriteEntry(target, entry, handle.tape) && target.SetTimes(EncodeTimeCode(entry), handle.times.lastWrite);
  const Status closed = target.Close(written ? CloseAs::Success : CloseAs::Failure);
  return written && closed.IsOk() ? StatusOk : SilentFailure(E_EWRITE);
}

}  // namespace

DOVED_EXPORT HANDLE DOVED_CALL OpenArchive(tOpenArchiveData* ArchiveData) {
  MixClock();
  RandomPool::Mix(ArchiveData, OpenRequestBytesMixed);

  Status result = StatusOk;
  void* memory = MemAlloc(sizeof(ArchiveHandle));
  if (memory == nullptr) {
    result = StatusNoMemory;
  } else {
    auto* handle = new (memory) ArchiveHandle{};
    Settings settings;
    GetSettings(settings);
    if (std::strlen(ArchiveData->ArcName) + 1 > sizeof handle->path) {
      result = ShownFailure("Archive path too long");
    } else {
      std::strcpy(handle->path, ArchiveData->ArcName);
      result = OpenImage(handle->image, ArchiveData->ArcName, ImageUse::Listing, handle->times);
      if (result.IsOk()) {
        result = BuildEntryList(handle->tape, handle->image.Bytes(), handle->image.Size(), settings,
                                handle->times.dosDateTime);
      }
      handle->cursor = 0;
      if (result.IsOk()) return handle;
    }
    FreeHandle(handle);
  }
  ArchiveData->OpenResult = Finish(result);
  return nullptr;
}

DOVED_EXPORT int DOVED_CALL ReadHeader(HANDLE hArcData, tHeaderData* HeaderData) {
  const auto& handle = *static_cast<ArchiveHandle*>(hArcData);
  if (handle.cursor >= handle.tape.entries.count) return E_END_ARCHIVE;
  const TapeEntry& entry = handle.tape.entries.At(handle.cursor);

  std::memset(static_cast<void*>(HeaderData), 0, HeaderBytesCleared);
  std::memcpy(HeaderData->ArcName, handle.path, sizeof handle.path);
  HeaderData->FileTime = HostFileTime(handle);
  HeaderData->FileAttr = HostFileAttr();
  HeaderData->PackSize = static_cast<int>(entry.storedSize);
  HeaderData->UnpSize = static_cast<int>(entry.extractedSize);
  return Finish(ListedEntryName(handle.tape, handle.cursor, HeaderData->FileName));
}

DOVED_EXPORT int DOVED_CALL ProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName) {
  // The host calls only after a successful ReadHeader; anything else finds no entry.
  const TapeEntry* taken = TakeEntry(*static_cast<ArchiveHandle*>(hArcData));
  if (taken == nullptr) return E_END_ARCHIVE;
  const TapeEntry& entry = *taken;

  if (Operation == PK_SKIP) return 0;
  if (DestPath != nullptr) {
    return Finish(ShownFailure("DestPath is not null.\nPlease report this error to plugin author.", E_NOT_SUPPORTED));
  }
  if (entry.extractAsHobeta && !entry.hobetaFits) {
    return Finish(ShownFailure("Files larger than 65280 bytes cannot be extracted in hobeta format."));
  }
  if (entry.dataBlock != nullptr && (!entry.dataComplete || !IsChecksumValid(entry))) {
    return Finish(SilentFailure(E_BAD_DATA));
  }
  if (Operation != PK_EXTRACT) return Finish(StatusOk);
  return Finish(Extract(*static_cast<ArchiveHandle*>(hArcData), entry, DestName));
}

DOVED_EXPORT int DOVED_CALL CloseArchive(HANDLE hArcData) {
  auto* handle = static_cast<ArchiveHandle*>(hArcData);
  const Status closed = handle->image.Close(CloseAs::Success);
  FreeHandle(handle);
  return HostCode(closed);
}

DOVED_EXPORT int DOVED_CALL GetPackerCaps() {
  return PK_CAPS_NEW | PK_CAPS_MODIFY | PK_CAPS_MULTIPLE | PK_CAPS_DELETE | PK_CAPS_OPTIONS | PK_CAPS_SEARCHTEXT;
}

// The host's volume and progress callbacks: this plug-in has no use for them.
DOVED_EXPORT void DOVED_CALL SetChangeVolProc(HANDLE, tChangeVolProc) {}

DOVED_EXPORT void DOVED_CALL SetProcessDataProc(HANDLE, tProcessDataProc) {}
