// The entry points by which the host lists, tests and extracts an image.
#include <cstring>
#include <new>

#include "base/error_report.h"
#include "plugin/archive_handle.h"
#include "plugin/archive_listing.h"
#include "plugin/host_bindings.h"
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

HANDLE OpenArchiveHandle(const void* request, const HostText& path, int& openResult) {
  MixClock();
  RandomPool::Mix(request, OpenRequestBytesMixed);

  Status result = StatusOk;
  void* memory = MemAlloc(sizeof(ArchiveHandle));
  if (memory == nullptr) {
    result = StatusNoMemory;
  } else {
    auto* handle = new (memory) ArchiveHandle{};
    Settings settings;
    GetSettings(settings);
    if (path.Failure().IsFailed()) {
      result = path.Failure();
    } else if (std::strlen(path.Utf8()) + 1 > sizeof handle->path) {
      result = ShownFailure(ArchivePathTooLong);
    } else {
      std::strcpy(handle->path, path.Utf8());
      result = OpenImage(handle->image, handle->path, ImageUse::Listing, handle->times);
      if (result.IsOk()) {
        result = BuildEntryList(handle->tape, handle->image.Bytes(), handle->image.Size(), settings,
                                handle->times.dosDateTime);
      }
      handle->cursor = 0;
      if (result.IsOk()) return handle;
    }
    FreeHandle(handle);
  }
  openResult = Finish(result);
  return nullptr;
}

int DescribeEntry(HANDLE archive, EntryFacts* facts) {
  const auto& handle = *static_cast<ArchiveHandle*>(archive);
  if (handle.cursor >= handle.tape.entries.count) return E_END_ARCHIVE;
  const TapeEntry& entry = handle.tape.entries.At(handle.cursor);
  facts->name[0] = '\0';  // stays so when the name fails
  facts->fileTime = HostFileTime(handle);
  facts->fileAttr = HostFileAttr();
  facts->packSize = static_cast<int>(entry.storedSize);
  facts->unpSize = static_cast<int>(entry.extractedSize);
  return Finish(ListedEntryName(handle.tape, handle.cursor, facts->name));
}

const char* ArchivePath(HANDLE archive) { return static_cast<ArchiveHandle*>(archive)->path; }

int ProcessEntry(HANDLE archive, int operation, bool destPathGiven, const HostText& destName) {
  // The host calls only after a successful ReadHeader; anything else finds no entry.
  const TapeEntry* taken = TakeEntry(*static_cast<ArchiveHandle*>(archive));
  if (taken == nullptr) return E_END_ARCHIVE;
  const TapeEntry& entry = *taken;

  if (operation == PK_SKIP) return 0;
  if (destPathGiven) {
    return Finish(ShownFailure("DestPath is not null.\nPlease report this error to plugin author.", E_NOT_SUPPORTED));
  }
  if (entry.extractAsHobeta && !entry.hobetaFits) {
    return Finish(ShownFailure("Files larger than 65280 bytes cannot be extracted in hobeta format."));
  }
  if (entry.dataBlock != nullptr && (!entry.dataComplete || !IsChecksumValid(entry))) {
    return Finish(SilentFailure(E_BAD_DATA));
  }
  if (operation != PK_EXTRACT) return Finish(StatusOk);
  if (destName.Failure().IsFailed()) return Finish(destName.Failure());
  return Finish(Extract(*static_cast<ArchiveHandle*>(archive), entry, destName.Utf8()));
}

DOVED_EXPORT HANDLE DOVED_CALL OpenArchive(tOpenArchiveData* ArchiveData) { return OpenArchiveFrom(ArchiveData); }

DOVED_EXPORT int DOVED_CALL ReadHeader(HANDLE hArcData, tHeaderData* HeaderData) {
  return ReadHeaderInto(hArcData, HeaderData);
}

DOVED_EXPORT int DOVED_CALL ProcessFile(HANDLE hArcData, int Operation, char* DestPath, char* DestName) {
  return ProcessFileFrom(hArcData, Operation, DestPath, DestName);
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

// Every call keeps its state in its own handle or on its own stack, and the
// settings and the random pool take their locks: the host may pack and
// unpack on threads of its own.
DOVED_EXPORT int DOVED_CALL GetBackgroundFlags() { return BACKGROUND_UNPACK | BACKGROUND_PACK; }

// The host's volume and progress callbacks: this plug-in has no use for them.
DOVED_EXPORT void DOVED_CALL SetChangeVolProc(HANDLE, tChangeVolProc) {}

DOVED_EXPORT void DOVED_CALL SetProcessDataProc(HANDLE, tProcessDataProc) {}
