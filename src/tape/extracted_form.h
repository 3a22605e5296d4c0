// What extracting an entry writes, in this order: the hobeta header (hobeta
// form only), the payload, the autostart trailer and the zero fill of the
// last sector (hobeta form only). The size listed for the entry is the sum of
// the same pieces, so that the listing and the file cannot disagree.
#pragma once

#include <cstdint>

#include "tape/hobeta_header.h"
#include "tape/tape_entry.h"

// Chooses the entry's form from its blocks: sets its trailer and hobetaFits
// and, with `hobeta`, extractAsHobeta and hobetaPadding. An entry left
// without this is extracted as its payload alone.
void ChooseExtractedForm(TapeEntry& entry, bool hobeta);

struct ExtractedPiece {
  const std::uint8_t* bytes;
  std::uint32_t length;  // 0 for a piece that this entry's form leaves out
};

// The pieces of an entry's extracted form, with its hobeta header made from
// its blocks and `headerlessDigits`; the entry must outlive it.
class ExtractedForm {
 public:
  ExtractedForm(const TapeEntry& entry, std::uint32_t headerlessDigits);
  ExtractedForm(const ExtractedForm&) = delete;
  ExtractedForm& operator=(const ExtractedForm&) = delete;

  const ExtractedPiece* begin() const { return pieces_; }
  const ExtractedPiece* end() const { return pieces_ + PieceCount; }
  std::uint32_t Size() const;

 private:
  static constexpr int PieceCount = 4;

  HobetaHeader header_;
  ExtractedPiece pieces_[PieceCount];
};
