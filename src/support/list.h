// A growable array on the guarded heap, for pointers and small records.
// A list of pointers does not own what they point to.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/integrity.h"
#include "base/status.h"
#include "support/heap.h"

template <typename T>
class List {
 public:
  // The most elements whose total size stays within 0x7FFFFFFF bytes.
  static constexpr std::uint32_t MaxCapacity = static_cast<std::uint32_t>(0x7FFFFFFFu / sizeof(T));

  T* items = nullptr;
  std::uint32_t count = 0;
  std::uint32_t capacity = 0;

  List() = default;
  List(const List&) = delete;
  List& operator=(const List&) = delete;
  ~List() { MemFree(items); }

  Status Add(const T& item) {
    const Status room = MakeRoom(1);
    if (room.IsFailed()) return room;
    items[count++] = item;
    return StatusOk;
  }

  // Appends `n` elements at once; on failure the list stays as it was.
  Status Append(const T* first, std::uint32_t n) {
    const Status room = MakeRoom(n);
    if (room.IsFailed()) return room;
    std::copy(first, first + n, items + count);
    count += n;
    return StatusOk;
  }

  // Room for `n` elements in all, allocated exactly: for a list whose size
  // is known beforehand. On failure the list stays as it was.
  Status Reserve(std::uint32_t n) {
    if (n <= capacity) return StatusOk;
    if (n > MaxCapacity) return StatusListOverflow;
    return Resize(n);
  }

  T& At(std::uint32_t index) const {
    if (index >= count) IntegrityFailure();
    return items[index];
  }

 private:
  // Doubles the capacity, from 1, until `n` more elements fit.
  Status MakeRoom(std::uint32_t n) {
    if (n <= capacity - count) return StatusOk;
    if (n > MaxCapacity - count) return StatusListOverflow;
    std::uint32_t grown = capacity == 0 ? 1 : capacity;
    while (grown - count < n) grown = grown > MaxCapacity / 2 ? MaxCapacity : grown * 2;
    return Resize(grown);
  }

  Status Resize(std::uint32_t grown) {
    const std::size_t bytes = static_cast<std::size_t>(grown) * sizeof(T);
    void* block = items == nullptr ? MemAlloc(bytes) : MemRealloc(items, bytes);
    if (block == nullptr) return StatusNoMemory;
    items = static_cast<T*>(block);
    capacity = grown;
    return StatusOk;
  }
};
