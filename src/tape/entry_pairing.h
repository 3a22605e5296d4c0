// How a sequence of tape blocks forms entries, wherever the blocks come from:
// a header block starts an entry and the data block right after it belongs
// to it; any other data block is an entry of its own, without header.
#pragma once

#include "tape/block_chain.h"
#include "tape/tap_format.h"

inline bool IsHeaderBlock(const TapBlock& block) {
  return block.length == HeaderBlockLength && block.start[0] == HeaderFlag;
}

class EntryPairing {
 public:
  // Whether `block`, the next one of the sequence, starts an entry; false for
  // the data block of the header before it.
  bool StartsEntry(const TapBlock& block) {
    const bool header = IsHeaderBlock(block);
    const bool starts = header || !headerPending_;
    headerPending_ = header;
    return starts;
  }

 private:
  bool headerPending_ = false;  // the last block was a header still waiting for its data block
};
