// The guarded allocator: every block carries its size and a tag in front and
// a trailer behind, checked on every release and resize.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes a block adds to its payload: 8 in front, 4 behind.
inline constexpr std::size_t BlockOverhead = 12;

// A zero-filled payload of `size` bytes, the empty block's payload for 0,
// or null when the heap is exhausted.
void* MemAlloc(std::size_t size);
// Resizes the block; growth is zero-filled. Null on failure, `payload` intact.
void* MemRealloc(void* payload, std::size_t size);
// Zero-fills the block and gives it back; null and the empty block do nothing.
void MemFree(void* payload);
// The payload that every request for 0 bytes receives.
void* EmptyBlockPayload();
