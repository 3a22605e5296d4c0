// Test helpers for entry names: settings for each naming mode, entries made by
// hand, and the names that a scanned image lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "helpers/tap_builder.h"
#include "settings/settings.h"
#include "tape/tape_entry.h"
#include "tape/tape_image.h"

namespace naming_test {

// A field of a packed record by value: gtest would bind a misaligned reference.
template <typename T>
constexpr unsigned Unpacked(T value) {
  return value;
}

// Plain mode: the defaults with the given numbering and separator.
Settings PlainSettings(int numbering = 0, const char* separator = "!   ");
// "Rarev compatible" mode with pattern 1 or 2 of the defaults.
Settings RarevSettings(int pattern, int gap, bool decimal);
// "Rarev compatible" mode with a pattern text of one's own.
Settings RarevSettings(const char* patternText, int gap, bool decimal);

// The image of the worked examples: program "hello" (length 100, autostart 10),
// bytes "screen" (6912 at 16384) and a 50-byte headerless block.
tap_builder::Bytes ExampleImage();

// Builds the entry list of `image` and takes every entry's listed name, as the
// host is handed it.
struct ListedImage {
  Status status;
  std::vector<std::string> names;
};
ListedImage ListNames(tap_builder::Bytes image, const Settings& settings);
// The names alone, of an image whose list must build.
std::vector<std::string> ListedNames(tap_builder::Bytes image, const Settings& settings);

// The listed name of one entry; the test fails when it cannot be formed.
std::string NameOf(const TapeEntry& entry, const TapeImage& image, bool withDuplicateMark = true);

// An entry made by hand for an image that was never scanned.
class HandEntry {
 public:
  // A header entry of the plain mode, or of the Rarev mode when `rarev` is set.
  HandEntry(std::uint8_t type, const std::string& name10, bool rarev = false);
  struct Headerless {
    std::uint32_t number;
  };
  // A headerless entry.
  explicit HandEntry(Headerless headerless, bool rarev = false);
  HandEntry(const HandEntry&) = delete;
  HandEntry& operator=(const HandEntry&) = delete;

  TapeEntry entry{};

 private:
  tap_builder::Bytes block_;
};

}  // namespace naming_test
