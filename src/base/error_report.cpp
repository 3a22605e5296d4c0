#include "base/error_report.h"

namespace {

constexpr DWORD OsNotEnoughMemory = 8;

void ShowOsError(DWORD code) {
  if (code == OsNotEnoughMemory) {
    ShowError("Not enough memory");
    return;
  }
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return;
  ShowError(text);
  LocalFree(text);
}

}  // namespace

void ShowError(const char* text) { MessageBoxA(FindOwnerWindow(), text, ErrorCaption, MB_ICONERROR); }

void ReportStatus(const Status& status) {
  if (!status.IsFailed() || !(status.flags & Status::Show)) return;
  if (status.flags & Status::OsError) ShowOsError(status.osError);
  if (status.message != nullptr) ShowError(status.message);
}
