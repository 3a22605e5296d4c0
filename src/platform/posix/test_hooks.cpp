#include "platform/posix/test_hooks.h"

#include <array>
#include <mutex>

#include "platform/posix/test_hooks_state.h"

namespace platform_test {
namespace {

struct FaultState {
  unsigned calls = 0;
  unsigned failAt = 0;  // call number that fails; 0 = none
  bool failEvery = false;
};

std::mutex faultMutex;
std::array<FaultState, static_cast<size_t>(Fault::Count)> faults;

std::mutex boxMutex;
bool capturing = false;
std::vector<ShownBox> boxes;

std::mutex windowMutex;
std::vector<FakeWindow> windows;

}  // namespace

void FailCall(Fault fault, unsigned nth) {
  std::lock_guard lock(faultMutex);
  FaultState& state = faults[static_cast<size_t>(fault)];
  state.failAt = nth == 0 ? 0 : state.calls + nth;
}

void FailEveryCall(Fault fault) {
  std::lock_guard lock(faultMutex);
  faults[static_cast<size_t>(fault)].failEvery = true;
}

void ClearFaults() {
  std::lock_guard lock(faultMutex);
  faults.fill(FaultState{});
}

bool ShouldFail(Fault fault) {
  std::lock_guard lock(faultMutex);
  FaultState& state = faults[static_cast<size_t>(fault)];
  ++state.calls;
  if (state.failEvery) return true;
  if (state.failAt != 0 && state.calls == state.failAt) {
    state.failAt = 0;
    return true;
  }
  return false;
}

unsigned CallCount(Fault fault) {
  std::lock_guard lock(faultMutex);
  return faults[static_cast<size_t>(fault)].calls;
}

void CaptureBoxes(bool on) {
  std::lock_guard lock(boxMutex);
  capturing = on;
  boxes.clear();
}

std::vector<ShownBox> TakeBoxes() {
  std::lock_guard lock(boxMutex);
  std::vector<ShownBox> taken;
  taken.swap(boxes);
  return taken;
}

bool RecordBox(const ShownBox& box) {
  std::lock_guard lock(boxMutex);
  if (!capturing) return false;
  boxes.push_back(box);
  return true;
}

void SetTopLevelWindows(std::vector<FakeWindow> list) {
  std::lock_guard lock(windowMutex);
  windows = std::move(list);
}

std::vector<FakeWindow> TopLevelWindows() {
  std::lock_guard lock(windowMutex);
  return windows;
}

void ResetAll() {
  ClearFaults();
  CaptureBoxes(false);
  SetTopLevelWindows({});
}

}  // namespace platform_test
