// The process-wide register from which temporary file names take a number:
// a CRC-32 register that every request stirs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace RandomPool {

// Mixes `n` bytes into the register as one indivisible update.
void Mix(const void* bytes, std::size_t n);
std::uint32_t Value();

}  // namespace RandomPool
