#include "tape/extracted_form.h"

#include "tape/autostart_trailer.h"

namespace {

constexpr std::uint8_t SectorZeros[HobetaSectorSize] = {};

// Only a program that is all there gets the trailer that carries its
// autostart line. A program of length 0 without a data block is all there
// too: its trailer is written, so that the line comes back when the file is
// packed.
void SetTrailer(TapeEntry& entry) {
  entry.trailerLength = 0;
  const TapeHeader* header = entry.Header();
  if (header == nullptr || header->type != ProgramType || header->length != entry.PayloadLength()) return;
  WriteAutostartTrailer(entry.trailer, AutostartLine(header->param1));
  entry.trailerLength = AutostartTrailerLength;
}

}  // namespace

void ChooseExtractedForm(TapeEntry& entry, bool hobeta) {
  SetTrailer(entry);
  const std::uint32_t content = HobetaContent(entry);
  entry.hobetaFits = content <= MaxHobetaData;
  if (hobeta) {
    entry.extractAsHobeta = 1;
    entry.hobetaPadding = static_cast<std::uint16_t>(SectorFill(content));
  }
}

ExtractedForm::ExtractedForm(const TapeEntry& entry, std::uint32_t headerlessDigits) : header_{} {
  const bool hobeta = entry.extractAsHobeta != 0;
  if (hobeta) header_ = HobetaHeaderOf(entry, headerlessDigits);
  const std::uint8_t* payload = entry.dataBlock != nullptr ? entry.dataBlock + 1 : nullptr;
  pieces_[0] = {reinterpret_cast<const std::uint8_t*>(&header_), hobeta ? HobetaHeaderSize : 0};
  pieces_[1] = {payload, entry.PayloadLength()};
  pieces_[2] = {entry.trailer, entry.trailerLength};
  pieces_[3] = {SectorZeros, entry.hobetaPadding};
}

std::uint32_t ExtractedForm::Size() const {
  std::uint32_t size = 0;
  for (const ExtractedPiece& piece : *this) size += piece.length;
  return size;
}
