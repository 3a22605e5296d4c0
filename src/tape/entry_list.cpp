#include "tape/entry_list.h"

#include <cstdint>
#include <cstring>

#include "support/ansi_string.h"
#include "support/heap.h"
#include "tape/entry_name.h"
#include "tape/name_chars.h"
#include "tape/numbering_limit.h"

namespace {

constexpr const char* TooManyNumberedEntries =
    "This tape image contains more than 255 files.\n"
    "Such images are supported only if numbering mode is off.\n"
    "You have to switch file numbering mode off in Doved settings\n"
    "to work with this image. Sorry :(";

// The letters A-Z of eight bytes at once turned into a-z.
std::uint64_t FoldWord(std::uint64_t word) {
  constexpr std::uint64_t Ones = 0x0101010101010101ULL;
  constexpr std::uint64_t Highs = 0x8080808080808080ULL;
  const std::uint64_t low7 = word & ~Highs;
  const std::uint64_t fromA = low7 + (0x80 - 'A') * Ones;      // high bit set from 'A' on
  const std::uint64_t pastZ = low7 + (0x80 - 'Z' - 1) * Ones;  // high bit set past 'Z'
  const std::uint64_t upper = fromA & ~pastZ & ~word & Highs;  // bytes below 0x80 only
  return word | (upper >> 2);                                  // 0x80 >> 2 is the case bit
}

// A hash of the folded name, eight bytes at a time: every listed name of a
// large image comes here.
std::uint32_t FoldedHash(const char* name, std::uint32_t length) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ length;
  for (std::uint32_t at = 0; at < length; at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, name + at, length - at < 8 ? length - at : 8);
    hash = (hash ^ FoldWord(word)) * 0xFF51AFD7ED558CCDULL;
    hash ^= hash >> 32;
  }
  return static_cast<std::uint32_t>(hash);
}

// Names that agree but for the case of A-Z; mostly they agree exactly.
bool SameFolded(const char* a, const char* b, std::uint32_t length) {
  return std::memcmp(a, b, length) == 0 || EqualFolded(a, b, length);
}

// A distinct name met while counting: its folded hash and length, where its
// first entry's name lies in the listed names, and how many entries bear it
// so far.
struct NameSlot {
  std::uint32_t hash;
  std::uint32_t length;
  std::uint32_t text;
  std::uint32_t tally;  // 0: a free slot
};

// The distinct names met so far, open-addressed by hash and at most half full,
// so that each entry finds its earlier namesakes in one probe or a few rather
// than by comparing names with every earlier one.
class NameTable {
 public:
  NameTable() = default;
  NameTable(const NameTable&) = delete;
  NameTable& operator=(const NameTable&) = delete;
  ~NameTable() { MemFree(slots_); }

  // Grows the table before one more name would fill it past half; false
  // without memory.
  bool MakeRoom(const char* texts) {
    if (2 * (used_ + 1) <= size_) return true;
    const std::uint32_t grown = size_ == 0 ? InitialSize : size_ * 2;
    auto* slots = static_cast<NameSlot*>(MemAlloc(sizeof(NameSlot) * grown));
    if (slots == nullptr) return false;
    NameSlot* old = slots_;
    const std::uint32_t oldSize = size_;
    slots_ = slots;
    size_ = grown;
    for (std::uint32_t i = 0; i < oldSize; ++i) {
      if (old[i].tally != 0) Find(texts + old[i].text, old[i].length, old[i].hash, texts) = old[i];
    }
    MemFree(old);
    return true;
  }

  // The slot of `name`, or the free slot where it goes; `texts` holds the
  // names that the slots point into. Needs a MakeRoom first.
  NameSlot& Find(const char* name, std::uint32_t length, std::uint32_t hash, const char* texts) {
    for (std::uint32_t i = hash;; ++i) {
      NameSlot& slot = slots_[i & (size_ - 1)];
      if (slot.tally == 0) return slot;
      if (slot.hash == hash && slot.length == length && SameFolded(texts + slot.text, name, length)) return slot;
    }
  }

  void Take(NameSlot& slot, std::uint32_t hash, std::uint32_t length, std::uint32_t text) {
    if (slot.tally++ != 0) return;
    slot.hash = hash;
    slot.length = length;
    slot.text = text;
    ++used_;
  }

 private:
  static constexpr std::uint32_t InitialSize = 256;  // a power of two, as every size

  NameSlot* slots_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t used_ = 0;
};

// Adds the name with its duplicate mark and a NUL to the image's listed names.
Status HoldName(TapeImage& image, String& name, std::uint32_t ordinal) {
  const Status marked = AppendDuplicateMark(name, ordinal);
  if (marked.IsFailed()) return marked;
  return image.listedNames.Append(name.CStr(), name.length + 1);
}

}  // namespace

// Each name is formed once, here, and kept for the host: counting needs every
// name anyway, and the host asks for each one once more.
Status CountDuplicates(TapeImage& image) {
  List<TapeEntry>& entries = image.entries;
  for (std::uint32_t i = 0; i < entries.count; ++i) entries.items[i].duplicateOrdinal = 0;
  image.listedNames.count = 0;
  image.namedEntries = 0;
  NameTable table;
  String name;
  for (std::uint32_t i = 0; i < entries.count; ++i) {
    TapeEntry& entry = entries.items[i];
    if (FormEntryName(name, entry, image, false).IsFailed()) break;
    if (!table.MakeRoom(image.listedNames.items)) break;
    const std::uint32_t length = name.length;
    const std::uint32_t hash = FoldedHash(name.CStr(), length);
    NameSlot& slot = table.Find(name.CStr(), length, hash, image.listedNames.items);
    const std::uint32_t text = image.listedNames.count;
    if (HoldName(image, name, slot.tally).IsFailed()) break;
    entry.duplicateOrdinal = slot.tally;
    entry.listedName = text;
    table.Take(slot, hash, length, text);
    image.namedEntries = i + 1;
  }
  return StatusOk;
}

Status ListedEntryName(const TapeImage& image, std::uint32_t position, char out[EntryNameSize]) {
  const TapeEntry& entry = image.entries.At(position);
  if (position >= image.namedEntries) return MakeEntryName(entry, image, out, true);
  const char* name = image.listedNames.items + entry.listedName;
  return CopyEntryName(name, static_cast<std::uint32_t>(std::strlen(name)), out);
}

Status BuildEntryList(TapeImage& image, const std::uint8_t* bytes, std::uint64_t size, const Settings& settings,
                      std::uint32_t dosDateTime) {
  const Status scanned = ScanImage(image, bytes, size, settings, dosDateTime);
  if (scanned.IsFailed()) return scanned;
  if (NumberingInForce(settings) != Numbering::None && image.entries.count > NumberedEntryLimit) {
    return ShownFailure(TooManyNumberedEntries);
  }
  return CountDuplicates(image);
}
