#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/messages.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks_state.h"

namespace {

struct SystemMessage {
  DWORD code;
  const char* text;
};

// The texts of the Windows message table for the codes this plug-in meets.
constexpr SystemMessage systemMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_READ_FAULT, "The system cannot read from the specified device."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_SHARING_VIOLATION, "The process cannot access the file because it is being used by another process."},
    {ERROR_HANDLE_DISK_FULL, "The disk is full."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_NEGATIVE_SEEK, "An attempt was made to move the file pointer before the beginning of the file."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
};

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const char* shownText = text != nullptr ? text : "";
  const char* shownCaption = caption != nullptr ? caption : "Error";
  if (!platform_test::RecordBox({owner, shownCaption, shownText, type})) {
    std::fprintf(stderr, "[%s] %s\n", shownCaption, shownText);
  }
  return IDOK;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD, void*) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !(flags & FORMAT_MESSAGE_ALLOCATE_BUFFER)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (const SystemMessage& message : systemMessages) {
    if (message.code != messageId) continue;
    const size_t length = std::strlen(message.text);
    auto* text = static_cast<char*>(std::malloc(length + 3));
    if (text == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(text, message.text, length);
    std::memcpy(text + length, "\r\n", 3);
    *reinterpret_cast<char**>(buffer) = text;
    return static_cast<DWORD>(length + 2);
  }
  SetLastError(ERROR_MR_MID_NOT_FOUND);
  return 0;
}

HLOCAL LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param) {
  for (const platform_test::FakeWindow& window : platform_test::TopLevelWindows()) {
    if (!callback(window.window, param)) break;
  }
  return TRUE;
}

namespace {

const platform_test::FakeWindow* FindWindowRecord(HWND window, std::vector<platform_test::FakeWindow>& all) {
  all = platform_test::TopLevelWindows();
  for (const platform_test::FakeWindow& record : all) {
    if (record.window == window) return &record;
  }
  return nullptr;
}

}  // namespace

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  std::vector<platform_test::FakeWindow> all;
  const platform_test::FakeWindow* record = FindWindowRecord(window, all);
  if (processId != nullptr) *processId = record != nullptr ? record->processId : 0;
  return record != nullptr ? 1 : 0;
}

HWND GetWindow(HWND window, UINT command) {
  std::vector<platform_test::FakeWindow> all;
  const platform_test::FakeWindow* record = FindWindowRecord(window, all);
  return record != nullptr && command == GW_OWNER ? record->owner : nullptr;
}

BOOL IsWindowVisible(HWND window) {
  std::vector<platform_test::FakeWindow> all;
  const platform_test::FakeWindow* record = FindWindowRecord(window, all);
  return record != nullptr && record->visible ? TRUE : FALSE;
}
