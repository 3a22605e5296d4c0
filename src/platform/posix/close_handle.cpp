#include <unistd.h>

#include <cerrno>

#include "platform/posix/errno_mapping.h"
#include "platform/posix/files.h"
#include "platform/posix/handle_table.h"
#include "platform/posix/mapped_files.h"
#include "platform/posix/process.h"
#include "platform/posix/test_hooks.h"

// The descriptor is released whatever happens: Linux frees it even when
// close() reports an error, and an injected failure must not leak it either.
// A descriptor that a file shares with its mappings is closed with the last
// of them.
BOOL CloseHandle(HANDLE handle) {
  const bool injected = platform_test::ShouldFail(platform_test::Fault::CloseHandle);
  posix_files::HandleObject object{};
  bool lastUser = false;
  if (!posix_files::RemoveHandle(handle, object, lastUser)) return FALSE;
  if (object.kind == posix_files::HandleKind::Mapping) posix_files::NoteUnmapped(object.device, object.inode);
  if (lastUser && close(object.fd) != 0 && errno != EINTR) {
    SetLastError(posix_files::ErrorFromErrno(errno));
    return FALSE;
  }
  if (injected) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
