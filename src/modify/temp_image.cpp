#include "modify/temp_image.h"

#include <cstring>

#include "os/os.h"
#include "support/list.h"
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

// The number of a temporary name whose end after "<image path>." is `rest`,
// when it is written exactly as FormTempName writes it.
bool TempNumberOf(const char* rest, std::uint32_t& number) {
  constexpr int MaxDigits = 10;
  std::uint64_t value = 0;
  int digits = 0;
  for (; digits < MaxDigits && rest[digits] >= '0' && rest[digits] <= '9'; ++digits) {
    value = value * 10 + static_cast<std::uint64_t>(rest[digits] - '0');
  }
  const bool canonical = digits == 1 || (digits > 1 && rest[0] != '0');
  if (!canonical || value > UINT32_MAX || std::strcmp(rest + digits, ".temp") != 0) return false;
  number = static_cast<std::uint32_t>(value);
  return true;
}

// A list that cannot grow drops the name: it stays for a later sweep.
void CollectTempNumber(void* numbers, const char* rest) {
  std::uint32_t number;
  if (TempNumberOf(rest, number)) static_cast<List<std::uint32_t>*>(numbers)->Add(number);
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

// The names are gathered first and deleted after the listing: a directory
// listed while it changes may skip names. Delete keeps what another open
// holds. Nothing here can fail the caller's work.
void RemoveTempLeftovers(const char* imagePath) {
  String target;
  String prefix;
  if (DiskFile::ResolvePath(imagePath, target).IsFailed() || prefix.Append(target.CStr()).IsFailed() ||
      prefix.AppendChar('.').IsFailed()) {
    return;
  }
  List<std::uint32_t> numbers;
  DiskFile::FindNames(prefix.CStr(), CollectTempNumber, &numbers);
  String name;
  for (std::uint32_t i = 0; i < numbers.count; ++i) {
    if (FormTempName(target.CStr(), numbers.At(i), name).IsOk()) DiskFile::Delete(name.CStr());
  }
}
