// A growable 8-bit text on the guarded heap. Fallible operations return a
// Status and leave the string as it was when they fail.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/integrity.h"
#include "base/status.h"
#include "support/heap.h"
#include "support/path_text.h"

class String {
 public:
  static constexpr std::uint32_t MaxCapacity = 0x7FFFFFFA;
  static constexpr std::uint8_t LiveTag = 0x8F;

  char* data = nullptr;  // capacity + 1 bytes; zero beyond length while growing
  std::uint32_t capacity = 0;
  std::uint32_t length = 0;
  std::uint8_t tag = LiveTag;

  String() = default;
  String(const String&) = delete;
  String& operator=(const String&) = delete;
  ~String() {
    Verify();
    MemFree(data);
    tag = 0;
  }

  Status Reserve(std::uint32_t n) {
    Verify();
    if (n <= capacity) return StatusOk;
    if (n > MaxCapacity) return StatusStringTooLong;
    std::uint32_t grown = n;
    if (capacity != 0) {
      grown = capacity;
      while (grown < n) grown = grown > MaxCapacity / 2 ? MaxCapacity : grown * 2;
    }
    grown = grown > MaxCapacity - 20 ? MaxCapacity : ((grown + 20) | 15);
    if (grown > MaxCapacity) grown = MaxCapacity;
    void* block = data == nullptr ? MemAlloc(grown + 1) : MemRealloc(data, grown + 1);
    if (block == nullptr) return StatusNoMemory;
    data = static_cast<char*>(block);
    capacity = grown;
    return StatusOk;
  }

  Status Append(const char* text) {
    Verify();
    std::uint32_t total = length;
    for (const char* p = text; *p != '\0'; ++p) {
      if (total >= MaxCapacity) return StatusStringTooLong;
      ++total;
    }
    if (total == length) return StatusOk;  // nothing to add; a never-reserved string has no buffer
    const Status reserved = Reserve(total);
    if (reserved.IsFailed()) return reserved;
    std::memcpy(data + length, text, total - length);
    length = total;
    return StatusOk;
  }

  // Appends `count` characters of `text`, NULs included.
  Status AppendBytes(const char* text, std::uint32_t count) {
    Verify();
    if (count > MaxCapacity - length) return StatusStringTooLong;
    if (count == 0) return StatusOk;
    const Status reserved = Reserve(length + count);
    if (reserved.IsFailed()) return reserved;
    std::memcpy(data + length, text, count);
    length += count;
    return StatusOk;
  }

  Status AppendChar(char ch) {
    Verify();
    const Status reserved = Reserve(length + 1);
    if (reserved.IsFailed()) return reserved;
    data[length++] = ch;
    return StatusOk;
  }

  // Appends a path component with exactly one separator before it.
  Status AppendPath(const char* text) {
    Verify();
    if (length != 0 && !IsPathSeparator(data[length - 1])) {
      const Status separated = AppendChar('\\');
      if (separated.IsFailed()) return separated;
    }
    if (IsPathSeparator(*text)) ++text;
    return Append(text);
  }

  void Clear() {
    Verify();
    length = 0;
  }

  const char* CStr() {
    Verify();
    if (length == 0) return "";
    data[length] = '\0';
    return data;
  }

  Status Remove(std::uint32_t position, std::uint32_t count) {
    Verify();
    if (position > MaxCapacity || static_cast<std::uint64_t>(position) + count > length) return StatusRemoveArgs;
    std::memmove(data + position, data + position + count, length - position - count);
    length -= count;
    return StatusOk;
  }

 private:
  void Verify() const {
    if (tag != LiveTag) IntegrityFailure();
  }
};
