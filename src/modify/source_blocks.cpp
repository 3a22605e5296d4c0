#include "modify/source_blocks.h"

#include "modify/add_list.h"
#include "modify/packed_item.h"
#include "modify/tape_file_plan.h"
#include "support/ansi_string.h"
#include "support/heap.h"
#include "support/list.h"

namespace {

constexpr Status TooManyFiles =
    ShownFailure("Cannot pack more than 10000 files at a time to TAP image.\nSorry :(", E_TOO_MANY_FILES);
constexpr Status SourceTooLarge = ShownFailure("Cannot pack files larger than 65533 bytes.", E_NOT_SUPPORTED);
constexpr Status TotalTooLarge = ShownFailure(
    "Cannot pack more than 30Mb at a time to TAP image. Sorry :(\nIf you really want this, please write to plugin "
    "author.");

}  // namespace

SourceBlocks::SourceBlocks(const Settings& settings, std::uint64_t imageLength, ImageFormat format)
    : settings_(settings), format_(format), total_(imageLength) {}

SourceBlocks::~SourceBlocks() {
  for (std::uint32_t i = 0; i < items_.count; ++i) FreePackedItem(items_.items[i]);
  MemFree(contents_);
}

namespace {

constexpr Status WriteFailed = SilentFailure(E_EWRITE);

bool WriteItem(BlockWriter& out, const PackedItem& item) {
  return (item.headerByteCount == 0 || out.Append(item.headerBytes, item.headerByteCount)) &&
         out.Append(item.dataBytes, item.dataByteCount);
}

}  // namespace

Status SourceBlocks::Convert(const char* sourceDirectory, const char* addList, BlockWriter* out) {
  for (const char* name = addList; *name != '\0'; name = NextListedName(name)) {
    const char* entryName = LastPathComponent(name);
    if (*entryName == '\0') continue;  // a directory
    if (converted_ >= MaxPackedFiles) return TooManyFiles;
    if (out == nullptr || items_.count == 0) {
      const Status added = items_.Add(PackedItem{});
      if (added.IsFailed()) return added;
    }
    PackedItem& item = items_.items[items_.count - 1];
    const Status converted = ConvertOne(sourceDirectory, name, entryName, item);
    if (converted.IsFailed()) return converted;
    ++converted_;
    if (out == nullptr) continue;
    const bool written = WriteItem(*out, item);
    FreePackedItem(item);
    item = PackedItem{};
    if (!written) return WriteFailed;
  }
  return StatusOk;
}

Status SourceBlocks::WriteHeld(BlockWriter& out) const {
  for (std::uint32_t i = 0; i < items_.count; ++i) {
    if (!WriteItem(out, items_.items[i])) return WriteFailed;
  }
  return StatusOk;
}

Status SourceBlocks::ConvertOne(const char* sourceDirectory, const char* name, const char* entryName,
                                PackedItem& item) {
  const Status built = BuildSourcePath(path_, sourceDirectory, name);
  if (built.IsFailed()) return built;
  if (contents_ == nullptr) {
    contents_ = static_cast<std::uint8_t*>(MemAlloc(MaxSourceFileSize));
    if (contents_ == nullptr) return StatusNoMemory;
  }
  // Sources are read, not mapped: one read of at most 64 KB costs less than
  // making and dropping a mapping, and each file is copied once either way.
  DiskFile source;
  const Status opened = source.Open(path_.CStr(), {.maximumSize = MaxSourceFileSize, .tooLarge = SourceTooLarge});
  if (opened.IsFailed()) return opened;
  std::uint64_t creation;
  if (!source.Read(contents_, source.Size()) || !source.GetTimes(&creation, nullptr)) return SilentFailure(E_EOPEN);

  TapeFilePlan plan;
  const auto size = static_cast<std::uint32_t>(source.Size());
  const Status planned = PlanTapeFile(entryName, contents_, size, creation, settings_, plan);
  if (planned.IsFailed()) return planned;
  const Status filled = FillPackedItem(item, plan, contents_, format_);
  if (filled.IsFailed()) return filled;

  total_ += item.dataByteCount;
  if (total_ > MaxPackedTotal) return TotalTooLarge;
  return source.Close(CloseAs::Success);
}
