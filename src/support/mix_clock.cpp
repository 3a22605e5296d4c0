#include "support/mix_clock.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#include "os/os.h"
#include "support/random_pool.h"

namespace {

std::atomic<std::uint32_t> mixClockCalls{0};

}  // namespace

// The counter keeps two records apart even when neither clock has moved.
void MixClock() {
  unsigned char record[21];
  const std::uint64_t systemTime = os::Os().Now();
  const std::uint64_t counter = os::Os().Counter();
  const std::uint32_t call = mixClockCalls.fetch_add(1, std::memory_order_relaxed) + 1;
  std::memcpy(record, &systemTime, 8);
  std::memcpy(record + 8, &counter, 8);
  std::memcpy(record + 16, &call, 4);
  // Any value will do; where the record lives varies a little between calls.
  record[20] = static_cast<unsigned char>(reinterpret_cast<std::uintptr_t>(&record));
  RandomPool::Mix(record, sizeof record);
}
