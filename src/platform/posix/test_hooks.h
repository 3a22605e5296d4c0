// Test hooks of the POSIX platform layer. They let tests see what a user
// would have seen and reach failure paths that a healthy system never takes.
// They exist only in the POSIX layer; the Windows build has none.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/types.h"

namespace platform_test {

// Calls whose failure can be injected.
enum class Fault {
  HeapAlloc,
  HeapReAlloc,
  CreateFile,
  CloseHandle,
  GetFileSize,
  CreateFileMapping,
  MapViewOfFile,
  UnmapViewOfFile,
  ReadFile,
  WriteFile,
  SetFilePointer,
  SetEndOfFile,
  FlushFileBuffers,
  DeleteFile,
  MoveFile,
  GetFileTime,
  SetFileTime,
  Count
};

// The `nth` call of `fault` from now on (1 = the next one) fails, once.
void FailCall(Fault fault, unsigned nth);
// Every call of `fault` from now on fails, until the faults are cleared.
void FailEveryCall(Fault fault);
void ClearFaults();
// Counts the call and tells whether it is to fail (for the layer itself).
bool ShouldFail(Fault fault);
// Calls of `fault` since the last ClearFaults.
unsigned CallCount(Fault fault);

struct ShownBox {
  HWND owner;
  std::string caption;
  std::string text;
  UINT type;
};

// While capturing, MessageBoxA records each box instead of printing it.
void CaptureBoxes(bool on);
std::vector<ShownBox> TakeBoxes();

// Top-level windows that EnumWindows reports, in this order (none by default).
struct FakeWindow {
  HWND window;
  DWORD processId;
  HWND owner;
  bool visible;
};
void SetTopLevelWindows(std::vector<FakeWindow> windows);

// Restores every hook to its default.
void ResetAll();

}  // namespace platform_test
