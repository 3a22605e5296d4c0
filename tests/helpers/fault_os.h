// A test's wrapper around the operating system's methods: while one lives,
// every call of the plug-in goes through it. Error boxes are recorded
// instead of shown, pauses are counted instead of slept, chosen calls fail,
// and the files and heap blocks that the calls leave open are counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "os/os.h"

namespace fault_os {

// The calls that can fail, by name.
enum class Op : std::uint8_t {
  Open,
  Close,
  Size,
  Read,
  Write,
  Flush,
  MapView,
  UnmapView,
  GetTimes,
  SetTimes,
  Delete,
  CreateUnnamed,
  Link,
  CopyMetadata,
  Replace,
  ResolvePath,
  FindNames,
  FlushName,
  Allocate,
  Reallocate,
  ModulePath,
  ReadProfile,
  WriteProfile,
  Count
};

const char* NameOf(Op op);

struct Box {
  std::string caption;
  std::string text;
};

class FaultyOs {
 public:
  FaultyOs();
  ~FaultyOs();
  FaultyOs(const FaultyOs&) = delete;
  FaultyOs& operator=(const FaultyOs&) = delete;

  // The nth call from now (1 = the next) of any of the calls that can fail
  // fails, once.
  void FailNthCall(unsigned nth);
  // The nth call of `op` from now fails, once.
  void FailNth(Op op, unsigned nth);
  // Every call of `op` fails until Clear.
  void FailEvery(Op op);
  // No failure planned; the counts of calls start again.
  void Clear();

  // Whether a planned failure has happened.
  bool Injected() const;
  // The call that failed, for messages.
  std::string InjectedCall() const;
  unsigned Calls(Op op) const;

  // The system's text for `code`, in place of the system's own; codes
  // without one have no text.
  void SetSystemText(std::uint32_t code, const std::string& text);

  std::vector<Box> TakeBoxes();
  std::vector<std::string> TakeBoxTexts();
  unsigned Pauses() const;

  // What the calls made while installed hold now.
  int OpenFiles() const;
  long LiveBlocks() const;
};

}  // namespace fault_os

namespace fault_os {

// Whether the failed call (as ForEachFailingCall names it) was one of `op`.
inline bool Is(const std::string& failed, Op op) { return failed.rfind(std::string(NameOf(op)) + " #", 0) == 0; }

// What a run may show when `failed` failed and it ended with host code
// `code`: memory running out says so, whatever the code it comes to; other
// failures say nothing but their code.
inline bool BoxesFit(const std::vector<std::string>& boxes, const std::string& failed, int code) {
  const std::vector<std::string> memory = {"Not enough memory"};
  if (code == 11) return boxes == memory;
  return boxes.empty() || ((Is(failed, Op::Allocate) || Is(failed, Op::Reallocate)) && boxes == memory);
}

// Runs `attempt()` once with each call that can fail failing in turn, the
// first, the second, and so on, until a run meets no failure; `check(failed)`
// follows each run, with the call that failed ("Write #3"), or "" when none
// did. Returns the number of runs.
template <typename Attempt, typename Check>
unsigned ForEachFailingCall(FaultyOs& faults, Attempt attempt, Check check) {
  for (unsigned nth = 1;; ++nth) {
    faults.FailNthCall(nth);
    attempt();
    const std::string failed = faults.Injected() ? faults.InjectedCall() : std::string();
    faults.Clear();
    check(failed);
    if (failed.empty()) return nth;
  }
}

}  // namespace fault_os
