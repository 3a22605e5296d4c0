// A TAP image held in memory and scanned as the plug-in scans an opened one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "base/status.h"
#include "helpers/tap_builder.h"
#include "settings/settings.h"
#include "tape/entry_list.h"
#include "tape/extracted_form.h"
#include "tape/hobeta_header.h"
#include "tape/rarev_record.h"
#include "tape/tape_image.h"

namespace tap_test {

using tap_builder::Bytes;

inline constexpr std::uint32_t TestDosDateTime = 0x5A3B6C4Du;

class ScannedImage {
 public:
  explicit ScannedImage(Bytes image, const Settings& settings = Settings{})
      : image_(std::move(image)), settings_(settings) {}
  ScannedImage(const ScannedImage&) = delete;
  ScannedImage& operator=(const ScannedImage&) = delete;

  Status Scan() { return ScanImage(tape_, image_.data(), image_.size(), settings_, TestDosDateTime); }
  // The scan with the numbering limit and the duplicate count, as an open does it.
  Status Build() { return BuildEntryList(tape_, image_.data(), image_.size(), settings_, TestDosDateTime); }
  std::uint32_t Count() const { return tape_.entries.count; }
  const TapeEntry& Entry(std::uint32_t index) const { return tape_.entries.At(index); }
  TapeImage& Tape() { return tape_; }
  // What extraction and Rarev naming make of an entry.
  Bytes HobetaBytes(std::uint32_t index) const {
    const HobetaHeader header = HobetaHeaderOf(Entry(index), tape_.headerlessDigits);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&header);
    return Bytes(bytes, bytes + sizeof header);
  }
  Bytes ExtractedBytes(std::uint32_t index) const {
    Bytes file;
    for (const ExtractedPiece& piece : ExtractedForm(Entry(index), tape_.headerlessDigits)) {
      file.insert(file.end(), piece.bytes, piece.bytes + piece.length);
    }
    return file;
  }
  RarevRecord Record(std::uint32_t index) const { return RarevRecordOf(Entry(index), tape_.dosDateTime); }
  const Bytes& Image() const { return image_; }
  const Settings& ScanSettings() const { return settings_; }
  // Offset of a pointer into the image.
  std::ptrdiff_t OffsetOf(const std::uint8_t* pointer) const { return pointer - image_.data(); }

 private:
  Bytes image_;
  Settings settings_;
  TapeImage tape_;
};

}  // namespace tap_test
