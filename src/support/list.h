// A growable array on the guarded heap, for pointers and small records.
// A list of pointers does not own what they point to.
#pragma once

#include <cstdint>

#include "frame/status.h"
#include "support/heap.h"
#include "support/integrity.h"

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
    if (count >= capacity) {
      if (capacity >= MaxCapacity) return StatusListOverflow;
      const std::uint32_t grown = capacity == 0 ? 1 : (capacity > MaxCapacity / 2 ? MaxCapacity : capacity * 2);
      const std::size_t bytes = static_cast<std::size_t>(grown) * sizeof(T);
      void* block = items == nullptr ? MemAlloc(bytes) : MemRealloc(items, bytes);
      if (block == nullptr) return StatusNoMemory;
      items = static_cast<T*>(block);
      capacity = grown;
    }
    items[count++] = item;
    return StatusOk;
  }

  T& At(std::uint32_t index) const {
    if (index >= count) IntegrityFailure();
    return items[index];
  }
};
