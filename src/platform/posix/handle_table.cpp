#include "platform/posix/handle_table.h"

#include <mutex>
#include <new>
#include <vector>

#include "platform/posix/process.h"

namespace posix_files {
namespace {

constexpr UINT_PTR FirstHandleValue = 0x10000;
constexpr UINT_PTR HandleStep = 4;

struct Slot {
  bool used;
  HandleObject object;
};

std::mutex tableMutex;
std::vector<Slot> slots;

HANDLE HandleOfSlot(std::size_t index) { return reinterpret_cast<HANDLE>(FirstHandleValue + index * HandleStep); }

// The slot of `handle` when it names a used one, else null (table locked).
Slot* SlotOfHandle(HANDLE handle) {
  const auto value = reinterpret_cast<UINT_PTR>(handle);
  if (value < FirstHandleValue || (value - FirstHandleValue) % HandleStep != 0) return nullptr;
  const std::size_t index = (value - FirstHandleValue) / HandleStep;
  if (index >= slots.size() || !slots[index].used) return nullptr;
  return &slots[index];
}

// Puts `object` into a free slot, or a new one (table locked).
HANDLE Insert(const HandleObject& object) {
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i].used) {
      slots[i] = {true, object};
      return HandleOfSlot(i);
    }
  }
  try {
    slots.push_back({true, object});
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return HandleOfSlot(slots.size() - 1);
}

// Whether a used slot holds `fd` (table locked).
bool DescriptorInUse(int fd) {
  for (const Slot& slot : slots) {
    if (slot.used && slot.object.fd == fd) return true;
  }
  return false;
}

}  // namespace

HANDLE AddHandle(const HandleObject& object) {
  std::lock_guard lock(tableMutex);
  return Insert(object);
}

HANDLE AddMapping(HANDLE file, const HandleObject& mapping) {
  std::lock_guard lock(tableMutex);
  const Slot* slot = SlotOfHandle(file);
  if (slot == nullptr || slot->object.kind != HandleKind::File || slot->object.fd != mapping.fd) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return Insert(mapping);
}

bool FindHandle(HANDLE handle, HandleKind kind, HandleObject& out) {
  std::lock_guard lock(tableMutex);
  const Slot* slot = SlotOfHandle(handle);
  if (slot == nullptr || slot->object.kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  out = slot->object;
  return true;
}

bool RemoveHandle(HANDLE handle, HandleObject& out, bool& lastUser) {
  std::lock_guard lock(tableMutex);
  Slot* slot = SlotOfHandle(handle);
  if (slot == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  out = slot->object;
  slot->used = false;
  lastUser = !DescriptorInUse(out.fd);
  return true;
}

}  // namespace posix_files
