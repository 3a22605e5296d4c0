// The host's strings as Doved takes them: UTF-8, converted on entry from the
// ANSI code page (the ANSI entry points) or from UTF-16 (the wide ones), and
// back into the host's records on the way out.
#pragma once

#include <cstddef>

#include "base/status.h"
#include "plugin/plugin_api.h"

// What a host's argument holds: one NUL-ended string, or names each ended by
// a NUL and the list by an empty one.
enum class TextForm { String, List };

// One argument in UTF-8, in memory of its own; a null argument stays null.
class HostText {
 public:
  HostText() = default;
  ~HostText();
  HostText(const HostText&) = delete;
  HostText& operator=(const HostText&) = delete;

  // False, with the failure in Failure(), when memory runs out; `limit` is
  // the host record's room for a path, in its units with the NUL, past which
  // the path is refused with the shown failure `tooLong`.
  // `char` text is in the ANSI code page, `WCHAR` text in UTF-16.
  template <typename Unit>
  bool Take(const Unit* text, TextForm form = TextForm::String) {
    return TakeWithin(text, form, 0, nullptr);
  }
  template <typename Unit>
  bool TakePath(const Unit* text, std::size_t limit, const char* tooLong) {
    return TakeWithin(text, TextForm::String, limit, tooLong);
  }

  char* Utf8() const { return text_; }
  // Ok, or why the text was not taken.
  Status Failure() const { return failure_; }

 private:
  template <typename Unit>
  bool TakeWithin(const Unit* text, TextForm form, std::size_t limit, const char* tooLong);

  char* text_ = nullptr;
  Status failure_ = StatusOk;
};

// UTF-8 into a host record's field of `size` units, ANSI or UTF-16; false,
// with the field empty, when it does not fit.
bool ToField(const char* utf8, char* field, std::size_t size);
bool ToField(const char* utf8, WCHAR* field, std::size_t size);
