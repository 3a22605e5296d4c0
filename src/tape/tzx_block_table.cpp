#include "tape/tzx_block_table.h"

namespace {

struct TzxBlockKind {
  std::uint8_t id;
  TzxBodyRule rule;
};

constexpr TzxBodyRule UnknownBlock{4, 4, 1, false};

constexpr TzxBlockKind Kinds[] = {
    {0x10, {4, 2, 1, true}},    // standard speed data: pause, length, data
    {0x11, {18, 3, 1, true}},   // turbo speed data: six pulse timings, used bits, pause, length, data
    {0x12, {4, 0, 0, false}},   // pure tone: pulse length, pulse count
    {0x13, {1, 1, 2, false}},   // pulse sequence: count, pulse lengths
    {0x14, {10, 3, 1, true}},   // pure data: two pulse lengths, used bits, pause, length, data
    {0x15, {8, 3, 1, false}},   // direct recording: sample length, pause, used bits, length, samples
    {0x18, {4, 4, 1, false}},   // CSW recording
    {0x19, {4, 4, 1, false}},   // generalised data
    {0x20, {2, 0, 0, false}},   // pause, or stop the tape
    {0x21, {1, 1, 1, false}},   // group start: name
    {0x22, {0, 0, 0, false}},   // group end
    {0x23, {2, 0, 0, false}},   // jump
    {0x24, {2, 0, 0, false}},   // loop start
    {0x25, {0, 0, 0, false}},   // loop end
    {0x26, {2, 2, 2, false}},   // call sequence: count, block offsets
    {0x27, {0, 0, 0, false}},   // return from sequence
    {0x28, {2, 2, 1, false}},   // select block
    {0x2A, {4, 0, 0, false}},   // stop the tape if in 48K mode
    {0x2B, {5, 0, 0, false}},   // set signal level
    {0x30, {1, 1, 1, false}},   // text description
    {0x31, {2, 1, 1, false}},   // message: time to show, text
    {0x32, {2, 2, 1, false}},   // archive info
    {0x33, {1, 1, 3, false}},   // hardware type: count, 3-byte records
    {0x35, {20, 4, 1, false}},  // custom info: 16-byte ID, length, data
    {0x5A, {9, 0, 0, false}},   // glue: the header of a file joined on
};

constexpr std::array<TzxBodyRule, 256> MakeRules() {
  std::array<TzxBodyRule, 256> rules{};
  rules.fill(UnknownBlock);
  for (const TzxBlockKind& kind : Kinds) rules[kind.id] = kind.rule;
  return rules;
}

}  // namespace

constinit const std::array<TzxBodyRule, 256> TzxBodyRules = MakeRules();
