// An image scanned into its tape files, and everything their names need:
// the settings they are named with, the headerless count and the names
// formed once for the host.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "settings/settings.h"
#include "support/list.h"
#include "tape/tape_entry.h"

inline constexpr std::uint32_t MaxEntries = 100000;

struct TapeImage {
  Settings settings;  // the copy the entries are scanned and named with
  std::uint32_t dosDateTime;  // the image's date, carried into Rarev records
  List<TapeEntry> entries;    // room for exactly the image's entries, made once
  std::uint32_t headerlessCount;
  std::uint32_t headerlessDigits;  // decimal digits of headerlessCount
  // The listed names of the first namedEntries entries, each followed by a
  // NUL, formed once when the list is built.
  List<char> listedNames;
  std::uint32_t namedEntries;

  TapeImage() = default;
  TapeImage(const TapeImage&) = delete;
  TapeImage& operator=(const TapeImage&) = delete;
  ~TapeImage() { Release(); }

  // Frees every entry and the names; the settings stay.
  void Release();
};

// Scans the `size` bytes of an image into `image`, whose entries then point
// into `bytes`: they must outlive the entries. `settings` decide the hobeta
// and Rarev forms; `dosDateTime` goes into the Rarev records.
Status ScanImage(TapeImage& image, const std::uint8_t* bytes, std::uint64_t size, const Settings& settings,
                 std::uint32_t dosDateTime);
// Makes room for `count` entries at once, so that they never move while the
// scan points into them; "Too many files in TAP image." past MaxEntries.
Status ReserveEntries(TapeImage& image, std::uint32_t count);
// Appends a zero-filled entry with index -1 to the room reserved.
TapeEntry& AddEntry(TapeImage& image);
