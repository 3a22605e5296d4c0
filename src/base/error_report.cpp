#include "base/error_report.h"

#include <atomic>

#include "os/os.h"

namespace {

constexpr std::uint32_t OsNotEnoughMemory = 8;

// Set once the host has started the library, read by any thread that reports.
std::atomic<ErrorBoxShower> hostShower{nullptr};

void ShowOsError(std::uint32_t code) {
  if (code == OsNotEnoughMemory) {
    ShowError("Not enough memory");
    return;
  }
  char text[512];
  if (os::Os().SystemErrorText(code, text, sizeof text) != 0) ShowError(text);
}

}  // namespace

void SetErrorBoxShower(ErrorBoxShower shower) { hostShower.store(shower, std::memory_order_release); }

void ShowError(const char* text) {
  if (const ErrorBoxShower shower = hostShower.load(std::memory_order_acquire)) {
    shower(text, ErrorCaption);
    return;
  }
  os::Os().ShowErrorBox(text, ErrorCaption);
}

void ReportStatus(const Status& status) {
  if (!status.IsFailed() || !(status.flags & Status::Show)) return;
  if (status.flags & Status::OsError) ShowOsError(status.osError);
  if (status.message != nullptr) ShowError(status.message);
}
