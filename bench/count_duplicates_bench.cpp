// Times the building of the entry list of a 100000-entry image held in memory,
// numbering off, with many equal names: the scan plus the duplicate count.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "plugin/archive_handle.h"
#include "settings/settings.h"
#include "tape/block_checksum.h"
#include "tape/entry_list.h"
#include "tape/tape_entry.h"

namespace {

constexpr std::uint32_t EntryCount = MaxEntries;
constexpr std::uint32_t DistinctNames = 5000;
constexpr int Rounds = 7;

void AppendBlock(std::vector<std::uint8_t>& image, std::uint8_t flag, const void* payload, std::size_t count) {
  const std::size_t length = count + 2;
  image.push_back(static_cast<std::uint8_t>(length));
  image.push_back(static_cast<std::uint8_t>(length >> 8));
  const std::size_t start = image.size();
  image.push_back(flag);
  const auto* bytes = static_cast<const std::uint8_t*>(payload);
  image.insert(image.end(), bytes, bytes + count);
  image.push_back(BlockChecksum(image.data() + start, count + 1));
}

// Every tenth entry headerless; the others are programs and bytes whose names
// repeat, in varying letter case, so that the count has work to do.
std::vector<std::uint8_t> MakeImage() {
  std::vector<std::uint8_t> image;
  std::uint32_t state = 12345;
  for (std::uint32_t i = 0; i < EntryCount; ++i) {
    state = state * 1103515245u + 12345u;
    if (i % 10 == 9) {
      const std::uint8_t payload[2] = {1, 2};
      AppendBlock(image, DataFlag, payload, sizeof payload);
      continue;
    }
    TapeHeader header{};
    header.type = (state >> 8) % 2 == 0 ? ProgramType : CodeType;
    char name[11];
    std::snprintf(name, sizeof name, "%s%05u", (state >> 16) % 2 == 0 ? "game" : "GAME", (state >> 12) % DistinctNames);
    std::memset(header.name, ' ', sizeof header.name);
    std::memcpy(header.name, name, std::strlen(name));
    header.length = 2;
    header.param2 = 0x8000;
    AppendBlock(image, HeaderFlag, &header, sizeof header);
    const std::uint8_t payload[2] = {3, 4};
    AppendBlock(image, DataFlag, payload, sizeof payload);
  }
  return image;
}

}  // namespace

int main() {
  std::vector<std::uint8_t> image = MakeImage();
  Settings settings = DefaultSettings();
  settings.FileNameNumbering = 0;

  std::vector<double> milliseconds;
  std::vector<double> countMilliseconds;
  std::uint64_t ordinalSum = 0;
  std::uint32_t maxOrdinal = 0;
  for (int round = 0; round < Rounds; ++round) {
    ArchiveHandle handle{};
    handle.image.view = image.data();
    handle.image.size = image.size();
    handle.settings = settings;
    handle.dosDateTime = 0x5A210000;
    const auto start = std::chrono::steady_clock::now();
    const Status status = BuildEntryList(handle);
    const auto stop = std::chrono::steady_clock::now();
    if (status.IsFailed() || handle.entries.count != EntryCount) {
      ReleaseHandle(handle);
      std::fprintf(stderr, "building the list of %u entries failed\n", EntryCount);
      return 1;
    }
    milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    // The count alone, done again on the list just built.
    const auto countStart = std::chrono::steady_clock::now();
    CountDuplicates(handle);
    const auto countStop = std::chrono::steady_clock::now();
    countMilliseconds.push_back(std::chrono::duration<double, std::milli>(countStop - countStart).count());
    ordinalSum = 0;
    for (std::uint32_t i = 0; i < handle.entries.count; ++i) {
      ordinalSum += handle.entries.items[i]->duplicateOrdinal;
      maxOrdinal = std::max(maxOrdinal, handle.entries.items[i]->duplicateOrdinal);
    }
    ReleaseHandle(handle);
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::sort(countMilliseconds.begin(), countMilliseconds.end());
  std::printf("BuildEntryList, %u entries, %u distinct names per type: median %.1f ms, best %.1f ms (%d rounds)\n",
              EntryCount, DistinctNames, milliseconds[Rounds / 2], milliseconds[0], Rounds);
  std::printf("of which CountDuplicates: median %.1f ms, best %.1f ms\n", countMilliseconds[Rounds / 2],
              countMilliseconds[0]);
  std::printf("sum of duplicate ordinals %llu, largest %u\n", static_cast<unsigned long long>(ordinalSum), maxOrdinal);
  return 0;
}
