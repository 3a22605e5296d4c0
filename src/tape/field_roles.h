// Which fields of a tape header hold the two values that travel with an
// extracted file besides its name and type, as a hobeta header's start and
// length and as the pair of the time code: a program's length and param2
// (program with and without its variables), any other file's param1 and
// length (load address and length). A program's param1, its autostart line,
// travels in its trailer instead; another file's param2 means nothing.
#pragma once

#include <cstdint>

#include "tape/tap_format.h"

enum class FieldRoles { Program, OtherFile };

struct HeaderPair {
  std::uint16_t low;   // the hobeta start
  std::uint16_t high;  // the hobeta length
};

inline FieldRoles RolesOf(const TapeHeader& header) {
  return header.type == ProgramType ? FieldRoles::Program : FieldRoles::OtherFile;
}

inline HeaderPair PairOf(const TapeHeader& header) {
  if (RolesOf(header) == FieldRoles::Program) return {header.length, header.param2};
  return {header.param1, header.length};
}

// Sets the two fields that hold the pair under `roles`; the third stays.
inline void SetPair(TapeHeader& header, FieldRoles roles, HeaderPair pair) {
  if (roles == FieldRoles::Program) {
    header.length = pair.low;
    header.param2 = pair.high;
  } else {
    header.param1 = pair.low;
    header.length = pair.high;
  }
}
