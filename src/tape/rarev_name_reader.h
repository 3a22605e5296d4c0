// Reading a name of the "Rarev compatible" form back into a BS-DOS record.
#pragma once

#include <cstddef>

#include "tape/rarev_record.h"

// Reads "name.type  parameters" from the `length` bytes of `name`: on success
// sets `found` and stores the type and all six parameters in `record`. Either
// way fills the record's 10-byte name field, from the text before the type's
// dot when the parameters were found and from the whole name otherwise.
void ParseParamsName(const char* name, std::size_t length, RarevRecord& record, bool& found);
