// The check byte of a TAP block: the XOR of its flag byte and payload, so that
// the XOR over a whole block, check byte included, is 0.
#pragma once

#include <cstddef>
#include <cstdint>

std::uint8_t BlockChecksum(const std::uint8_t* bytes, std::size_t count);
