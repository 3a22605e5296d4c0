// Times the building of the entry list of a 100000-entry image held in memory,
// numbering off, with many equal names: the scan plus the duplicate count.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "helpers/tap_builder.h"
#include "settings/settings.h"
#include "tape/entry_list.h"
#include "tape/tape_image.h"

namespace {

constexpr std::uint32_t EntryCount = MaxEntries;
constexpr std::uint32_t DistinctNames = 5000;
constexpr int Rounds = 7;

}  // namespace

int main() {
  const tap_builder::Bytes image = tap_builder::RepeatedNamesImage();
  Settings settings = DefaultSettings();
  settings.FileNameNumbering = Numbering::None;

  std::vector<double> milliseconds;
  std::vector<double> countMilliseconds;
  std::uint64_t ordinalSum = 0;
  std::uint32_t maxOrdinal = 0;
  for (int round = 0; round < Rounds; ++round) {
    TapeImage tape;
    const auto start = std::chrono::steady_clock::now();
    const Status status = BuildEntryList(tape, image.data(), image.size(), settings, 0x5A210000);
    const auto stop = std::chrono::steady_clock::now();
    if (status.IsFailed() || tape.entries.count != EntryCount) {
      std::fprintf(stderr, "building the list of %u entries failed\n", EntryCount);
      return 1;
    }
    milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    // The count alone, done again on the list just built.
    const auto countStart = std::chrono::steady_clock::now();
    CountDuplicates(tape);
    const auto countStop = std::chrono::steady_clock::now();
    countMilliseconds.push_back(std::chrono::duration<double, std::milli>(countStop - countStart).count());
    ordinalSum = 0;
    for (std::uint32_t i = 0; i < tape.entries.count; ++i) {
      ordinalSum += tape.entries.items[i].duplicateOrdinal;
      maxOrdinal = std::max(maxOrdinal, tape.entries.items[i].duplicateOrdinal);
    }
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
