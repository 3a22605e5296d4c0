#include "plugin/host_text.h"

#include <cstring>

#include "os/os.h"
#include "os/unicode_text.h"
#include "support/heap.h"

namespace {

// A UTF-8 form takes at most three bytes for each ANSI byte or UTF-16 unit.
constexpr std::size_t Utf8BytesPerUnit = 3;

template <typename Unit>
std::size_t UnitsOf(const Unit* text) {
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

// The units of the whole argument, every NUL included.
template <typename Unit>
std::size_t ArgumentUnits(const Unit* text, TextForm form) {
  if (form == TextForm::String) return UnitsOf(text) + 1;
  std::size_t units = 0;
  while (text[units] != 0) units += UnitsOf(text + units) + 1;
  return units + 1;
}

bool ConvertOne(const char* text, char* out, std::size_t room) {
  return os::Os().AnsiToUtf8(text, out, static_cast<std::uint32_t>(room));
}

bool ConvertOne(const WCHAR* text, char* out, std::size_t room) {
  return os::Utf16ToUtf8(text, out, static_cast<std::uint32_t>(room));
}

template <typename Unit>
Status Convert(const Unit* text, TextForm form, char*& out) {
  const std::size_t size = ArgumentUnits(text, form) * Utf8BytesPerUnit;
  out = static_cast<char*>(MemAlloc(size));
  if (out == nullptr) return StatusNoMemory;
  if (form == TextForm::String) return ConvertOne(text, out, size) ? StatusOk : StatusNoMemory;
  std::size_t written = 0;
  for (const Unit* name = text; *name != 0; name += UnitsOf(name) + 1) {
    if (!ConvertOne(name, out + written, size - written)) return StatusNoMemory;
    written += std::strlen(out + written) + 1;
  }
  out[written] = '\0';
  return StatusOk;
}

}  // namespace

HostText::~HostText() { MemFree(text_); }

template <typename Unit>
bool HostText::TakeWithin(const Unit* text, TextForm form, std::size_t limit, const char* tooLong) {
  MemFree(text_);
  text_ = nullptr;
  failure_ = StatusOk;
  if (text == nullptr) return true;
  if (limit != 0 && UnitsOf(text) + 1 > limit) {
    failure_ = ShownFailure(tooLong);
  } else {
    failure_ = Convert(text, form, text_);
  }
  if (failure_.IsOk()) return true;
  MemFree(text_);
  text_ = nullptr;
  return false;
}

template bool HostText::TakeWithin(const char*, TextForm, std::size_t, const char*);
template bool HostText::TakeWithin(const WCHAR*, TextForm, std::size_t, const char*);

bool ToField(const char* utf8, char* field, std::size_t size) {
  if (os::Os().Utf8ToAnsi(utf8, field, static_cast<std::uint32_t>(size))) return true;
  field[0] = '\0';
  return false;
}

bool ToField(const char* utf8, WCHAR* field, std::size_t size) {
  if (os::Utf8ToUtf16(utf8, field, static_cast<std::uint32_t>(size))) return true;
  field[0] = 0;
  return false;
}
