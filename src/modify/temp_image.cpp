#include "modify/temp_image.h"

#include "os/os.h"
#include "support/mix_clock.h"
#include "support/random_pool.h"
#include "tape/name_digits.h"

namespace {

constexpr int NameAttempts = 5;
// Another delete may have drawn the same number; give it time to move on.
constexpr std::uint32_t RetryPauseMs = 5;

Status FormTempName(const char* imagePath, std::uint32_t number, String& name) {
  name.Clear();
  Status status = name.Append(imagePath);
  if (status.IsOk()) status = name.AppendChar('.');
  if (status.IsOk()) status = AppendDigits(name, number, 1, false);
  if (status.IsOk()) status = name.Append(".temp");
  return status;
}

// Tries up to five fresh names with `take(name)`, which must never touch a
// file that already carries the name.
template <typename Take>
Status TakeTempName(const char* imagePath, String& name, TempNumberSource nextNumber, Take take) {
  Status failure = StatusFailed;
  for (int attempt = 0; attempt < NameAttempts; ++attempt) {
    failure = FormTempName(imagePath, nextNumber(), name);
    if (failure.IsFailed()) break;
    failure = take(name.CStr());
    if (failure.IsOk()) return StatusOk;
    os::Os().Sleep(RetryPauseMs);
  }
  name.Clear();
  failure.code = E_ECREATE;
  return failure;
}

}  // namespace

std::uint32_t FreshTempNumber() {
  MixClock();
  return RandomPool::Value();
}

Status MakeTempImage(const char* imagePath, String& name, DiskFile& file, TempNumberSource nextNumber) {
  return TakeTempName(imagePath, name, nextNumber, [&file](const char* path) {
    return file.Open(path, {.access = FileAccess::ReadWrite, .disposition = Disposition::CreateNew});
  });
}

Status NameTempImage(const char* imagePath, String& name, DiskFile& unnamed, TempNumberSource nextNumber) {
  return TakeTempName(imagePath, name, nextNumber, [&unnamed](const char* path) {
    return unnamed.GiveName(path) ? StatusOk : SilentFailure(E_ECREATE);
  });
}
