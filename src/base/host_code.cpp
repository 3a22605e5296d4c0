#include "base/status.h"

namespace {

constexpr std::uint32_t OsNotEnoughMemory = 8;

}  // namespace

int HostCode(const Status& status) {
  if (!status.IsFailed()) return 0;
  if (status.code != 0) return status.code;
  if ((status.flags & Status::OsError) && status.osError == OsNotEnoughMemory) return E_NO_MEMORY;
  return 1;
}
