#include "base/error_report.h"

#include "os/os.h"

namespace {

constexpr std::uint32_t OsNotEnoughMemory = 8;

void ShowOsError(std::uint32_t code) {
  if (code == OsNotEnoughMemory) {
    ShowError("Not enough memory");
    return;
  }
  char text[512];
  if (os::Os().SystemErrorText(code, text, sizeof text) != 0) ShowError(text);
}

}  // namespace

void ShowError(const char* text) { os::Os().ShowErrorBox(text, ErrorCaption); }

void ReportStatus(const Status& status) {
  if (!status.IsFailed() || !(status.flags & Status::Show)) return;
  if (status.flags & Status::OsError) ShowOsError(status.osError);
  if (status.message != nullptr) ShowError(status.message);
}
