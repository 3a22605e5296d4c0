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

// A held name with its folded hash, so that sorting compares numbers, not texts.
struct NameKey {
  std::uint32_t hash;
  std::uint32_t index;
  const char* name;
};

// FNV-1a over the folded name.
std::uint32_t FoldedHash(const char* name) {
  std::uint32_t hash = 0x811C9DC5u;
  for (; *name != '\0'; ++name) hash = (hash ^ static_cast<unsigned char>(FoldAsciiLetter(*name))) * 0x01000193u;
  return hash;
}

int CompareFolded(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const auto x = static_cast<unsigned char>(FoldAsciiLetter(*a));
    const auto y = static_cast<unsigned char>(FoldAsciiLetter(*b));
    if (x != y || x == '\0') return x - y;
  }
}

// Keeps a heap copy of each entry's name in nameScratch, in list order, until
// a name fails or memory runs out; returns how many entries have one.
std::uint32_t HoldNames(ArchiveHandle& handle, NameKey* keys) {
  char name[EntryNameSize];
  for (std::uint32_t i = 0; i < handle.entries.count; ++i) {
    TapeEntry& entry = *handle.entries.items[i];
    if (MakeEntryName(entry, handle, name, false).IsFailed()) return i;
    const std::size_t size = std::strlen(name) + 1;
    entry.nameScratch = static_cast<char*>(MemAlloc(size));
    if (entry.nameScratch == nullptr) return i;
    std::memcpy(entry.nameScratch, name, size);
    keys[i] = {FoldedHash(name), i, entry.nameScratch};
  }
  return handle.entries.count;
}

// Entries that share a hash, in list order. Nearly always they share one name
// and their ordinals are their positions; names that only share the hash are
// sorted apart by their text first.
void RankRun(TapeEntry* const* entries, NameKey* first, NameKey* last) {
  const bool oneName =
      std::all_of(first + 1, last, [first](const NameKey& key) { return CompareFolded(key.name, first->name) == 0; });
  if (!oneName) {
    std::sort(first, last, [](const NameKey& a, const NameKey& b) {
      const int compared = CompareFolded(a.name, b.name);
      return compared != 0 ? compared < 0 : a.index < b.index;
    });
  }
  std::uint32_t rank = 0;
  for (NameKey* key = first + 1; key < last; ++key) {
    rank = oneName || CompareFolded(key[-1].name, key->name) == 0 ? rank + 1 : 0;
    entries[key->index]->duplicateOrdinal = rank;
  }
}

// Sorting by hash, then by position, brings equal names together in list
// order: n log n instead of comparing every pair of up to 100000 names.
void RankEqualNames(TapeEntry* const* entries, NameKey* keys, std::uint32_t count) {
  std::sort(keys, keys + count, [](const NameKey& a, const NameKey& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.index < b.index;
  });
  for (std::uint32_t first = 0, last; first < count; first = last) {
    last = first + 1;
    while (last < count && keys[last].hash == keys[first].hash) ++last;
    RankRun(entries, keys + first, keys + last);
  }
}

}  // namespace

Status CountDuplicates(ArchiveHandle& handle) {
  List<TapeEntry*>& entries = handle.entries;
  for (std::uint32_t i = 0; i < entries.count; ++i) entries.items[i]->duplicateOrdinal = 0;
  auto* keys = static_cast<NameKey*>(MemAlloc(sizeof(NameKey) * entries.count));
  if (keys != nullptr) {
    RankEqualNames(entries.items, keys, HoldNames(handle, keys));
    MemFree(keys);
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
