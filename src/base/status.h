// The result of every fallible operation: a plain value, never an exception.
#pragma once

#include <cstdint>

#include "base/host_codes.h"

struct Status {
  static constexpr std::uint8_t Failed = 1;   // the operation failed
  static constexpr std::uint8_t OsError = 2;  // osError holds a system error code
  static constexpr std::uint8_t Show = 4;     // the failure is shown to the user

  std::uint8_t flags;
  std::uint8_t code;       // explicit host code, 0 for none
  std::uint32_t osError;   // meaningful only with OsError
  const char* message;     // static text or null; never owned

  constexpr bool IsFailed() const { return (flags & Failed) != 0; }
  constexpr bool IsOk() const { return !IsFailed(); }
};

// A failure that says nothing but the host code it hands back.
constexpr Status SilentFailure(int code) { return {Status::Failed, static_cast<std::uint8_t>(code), 0, nullptr}; }
// A failure shown to the user; the host receives `code`, or 1 without one.
constexpr Status ShownFailure(const char* message, int code = 0) {
  return {Status::Failed | Status::Show, static_cast<std::uint8_t>(code), 0, message};
}

constexpr Status StatusOk{0, 0, 0, nullptr};
constexpr Status StatusFailed{Status::Failed, 0, 0, nullptr};
constexpr Status StatusNoMemory{Status::Failed | Status::OsError | Status::Show, 0, 8, nullptr};
constexpr Status StatusStringTooLong = ShownFailure("Capacity of string is too large");
constexpr Status StatusListOverflow = ShownFailure("Overflow of list");
constexpr Status StatusRemoveArgs = ShownFailure("Invalid args of String.Remove operation");

// The integer an entry point returns to the host for `status`.
int HostCode(const Status& status);
