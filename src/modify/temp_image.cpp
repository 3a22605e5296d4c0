#include "modify/temp_image.h"

#include "platform/windows_api.h"
#include "support/mix_clock.h"
#include "support/random_pool.h"
#include "tape/name_digits.h"

namespace {

constexpr int NameAttempts = 5;
// Another delete may have drawn the same number; give it time to move on.
constexpr DWORD RetryPauseMs = 5;

Status FormTempName(const char* imagePath, std::uint32_t number, String& name) {
  name.Clear();
  Status status = name.Append(imagePath);
  if (status.IsOk()) status = name.AppendChar('.');
  if (status.IsOk()) status = AppendDigits(name, number, 1, false);
  if (status.IsOk()) status = name.Append(".temp");
  return status;
}

}  // namespace

std::uint32_t FreshTempNumber() {
  MixClock();
  return RandomPool::Value();
}

Status MakeTempImage(const char* imagePath, String& name, ImageFile& file, TempNumberSource nextNumber) {
  Status failure = StatusFailed;
  for (int attempt = 0; attempt < NameAttempts; ++attempt) {
    failure = FormTempName(imagePath, nextNumber(), name);
    if (failure.IsFailed()) break;
    // CREATE_NEW: a file that already carries this name is never touched.
    failure = file.Open(name.CStr(), {.access = FileAccess::ReadWrite, .disposition = CREATE_NEW});
    if (failure.IsOk()) return StatusOk;
    Sleep(RetryPauseMs);
  }
  name.Clear();
  failure.code = E_ECREATE;
  return failure;
}
