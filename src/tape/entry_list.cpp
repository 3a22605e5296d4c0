#include "tape/entry_list.h"

#include <algorithm>
#include <cstring>

#include "support/heap.h"
#include "tape/entry_name.h"
#include "tape/name_chars.h"
#include "tape/tape_entry.h"

namespace {

// Two hexadecimal digits number at most this many entries.
constexpr std::uint32_t NumberedEntryLimit = 256;

constexpr const char* TooManyNumberedEntries =
    "This tape image contains more than 255 files.\n"
    "Such images are supported only if numbering mode is off.\n"
    "You have to switch file numbering mode off in Doved settings\n"
    "to work with this image. Sorry :(";

int CompareFolded(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const auto x = static_cast<unsigned char>(FoldAsciiLetter(*a));
    const auto y = static_cast<unsigned char>(FoldAsciiLetter(*b));
    if (x != y || x == '\0') return x - y;
  }
}

// Keeps a heap copy of each entry's name in nameScratch, in list order, until
// a name fails or memory runs out; returns how many entries have one.
std::uint32_t HoldNames(ArchiveHandle& handle) {
  char name[EntryNameSize];
  for (std::uint32_t i = 0; i < handle.entries.count; ++i) {
    TapeEntry& entry = *handle.entries.items[i];
    if (MakeEntryName(entry, handle, name, false).IsFailed()) return i;
    const std::size_t size = std::strlen(name) + 1;
    entry.nameScratch = static_cast<char*>(MemAlloc(size));
    if (entry.nameScratch == nullptr) return i;
    std::memcpy(entry.nameScratch, name, size);
  }
  return handle.entries.count;
}

// Sorting by name, then by position, puts equal names together in list order,
// so each entry's ordinal is its rank within its run: n log n instead of
// comparing every pair of up to 100000 names.
void RankEqualNames(TapeEntry* const* entries, std::uint32_t* order, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) order[i] = i;
  std::sort(order, order + count, [entries](std::uint32_t a, std::uint32_t b) {
    const int compared = CompareFolded(entries[a]->nameScratch, entries[b]->nameScratch);
    return compared != 0 ? compared < 0 : a < b;
  });
  for (std::uint32_t k = 1; k < count; ++k) {
    TapeEntry& previous = *entries[order[k - 1]];
    if (CompareFolded(previous.nameScratch, entries[order[k]]->nameScratch) == 0) {
      entries[order[k]]->duplicateOrdinal = previous.duplicateOrdinal + 1;
    }
  }
}

}  // namespace

Status CountDuplicates(ArchiveHandle& handle) {
  List<TapeEntry*>& entries = handle.entries;
  for (std::uint32_t i = 0; i < entries.count; ++i) entries.items[i]->duplicateOrdinal = 0;
  auto* order = static_cast<std::uint32_t*>(MemAlloc(sizeof(std::uint32_t) * entries.count));
  if (order != nullptr) {
    RankEqualNames(entries.items, order, HoldNames(handle));
    MemFree(order);
  }
  for (std::uint32_t i = 0; i < entries.count; ++i) {
    MemFree(entries.items[i]->nameScratch);
    entries.items[i]->nameScratch = nullptr;
  }
  return StatusOk;
}

Status BuildEntryList(ArchiveHandle& handle) {
  Status result = ScanImage(handle);
  const Settings& settings = handle.settings;
  if (result.IsOk() && !settings.RarevCompatible && settings.FileNameNumbering != 0 &&
      handle.entries.count > NumberedEntryLimit) {
    result = ShownFailure(TooManyNumberedEntries);
  }
  if (result.IsOk()) result = CountDuplicates(handle);
  handle.cursor = 0;
  return result;
}
