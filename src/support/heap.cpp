#include "support/heap.h"

#include <cstring>

#include "base/integrity.h"
#include "os/os.h"

namespace {

constexpr std::uint16_t BlockTag = 0x9966;
constexpr std::uint32_t BlockTrailer = 0xFF336699;
constexpr std::uint64_t SizeLimit = 1ULL << 48;
constexpr std::size_t HeaderSize = 8;

// Size (6 bytes), tag (2 bytes), trailer directly after: a block of payload 0.
alignas(8) unsigned char emptyBlock[HeaderSize + 4] = {0, 0, 0, 0, 0, 0, 0x66, 0x99, 0x99, 0x66, 0x33, 0xFF};

unsigned char* BlockOf(void* payload) { return static_cast<unsigned char*>(payload) - HeaderSize; }

std::uint64_t ReadSize(const unsigned char* block) {
  std::uint64_t size = 0;
  for (int i = 5; i >= 0; --i) size = (size << 8) | block[i];
  return size;
}

void WriteSize(unsigned char* block, std::uint64_t size) {
  if (size >= SizeLimit) IntegrityFailure();
  for (int i = 0; i < 6; ++i) block[i] = static_cast<unsigned char>(size >> (8 * i));
}

std::uint16_t ReadTag(const unsigned char* block) { return static_cast<std::uint16_t>(block[6] | (block[7] << 8)); }

std::uint32_t ReadTrailer(const unsigned char* block, std::uint64_t size) {
  std::uint32_t trailer;
  std::memcpy(&trailer, block + HeaderSize + size, sizeof trailer);
  return trailer;
}

void WriteGuards(unsigned char* block, std::uint64_t size) {
  block[6] = static_cast<unsigned char>(BlockTag & 0xFF);
  block[7] = static_cast<unsigned char>(BlockTag >> 8);
  std::memcpy(block + HeaderSize + size, &BlockTrailer, sizeof BlockTrailer);
}

void ClearGuards(unsigned char* block, std::uint64_t size) {
  block[6] = block[7] = 0;
  std::memset(block + HeaderSize + size, 0, sizeof BlockTrailer);
}

// Returns the payload size of a block whose guards are intact.
std::uint64_t VerifiedSize(void* payload) {
  const unsigned char* block = BlockOf(payload);
  if (ReadTag(block) != BlockTag) IntegrityFailure();
  const std::uint64_t size = ReadSize(block);
  if (ReadTrailer(block, size) != BlockTrailer) IntegrityFailure();
  return size;
}

bool Overflows(std::size_t size) { return size > SIZE_MAX - BlockOverhead; }

}  // namespace

void* EmptyBlockPayload() { return emptyBlock + HeaderSize; }

void* MemAlloc(std::size_t size) {
  if (size == 0) return EmptyBlockPayload();
  if (Overflows(size)) return nullptr;
  auto* block = static_cast<unsigned char*>(os::Os().Allocate(size + BlockOverhead));
  if (block == nullptr) return nullptr;
  WriteSize(block, size);
  WriteGuards(block, size);
  return block + HeaderSize;
}

void MemFree(void* payload) {
  if (payload == nullptr) return;
  const std::uint64_t size = VerifiedSize(payload);
  if (payload == EmptyBlockPayload()) return;
  unsigned char* block = BlockOf(payload);
  std::memset(block, 0, size + BlockOverhead);
  os::Os().Free(block);
}

void* MemRealloc(void* payload, std::size_t size) {
  const std::uint64_t oldSize = VerifiedSize(payload);
  if (size == oldSize) return payload;
  if (payload == EmptyBlockPayload()) return MemAlloc(size);
  if (size == 0) {
    MemFree(payload);
    return EmptyBlockPayload();
  }
  if (Overflows(size)) return nullptr;
  unsigned char* block = BlockOf(payload);
  ClearGuards(block, oldSize);
  auto* grown = static_cast<unsigned char*>(os::Os().Reallocate(block, oldSize + BlockOverhead, size + BlockOverhead));
  if (grown == nullptr) {
    WriteGuards(block, oldSize);
    return nullptr;
  }
  WriteSize(grown, size);
  WriteGuards(grown, size);
  return grown + HeaderSize;
}
