#include "modify/remove_sources.h"

#include "modify/add_list.h"
#include "file/disk_file.h"
#include "support/ansi_string.h"

namespace {

// The start of the name that ends just before `end` (its NUL is at end - 1).
const char* PreviousListedName(const char* list, const char* end) {
  const char* start = end - 1;
  while (start > list && start[-1] != '\0') --start;
  return start;
}

}  // namespace

Status RemoveSources(const char* sourceDirectory, const char* addList) {
  if (*addList == '\0') return StatusOk;
  const char* end = addList;  // the closing empty name
  while (*end != '\0') end = NextListedName(end);

  String path;
  bool allDeleted = true;
  // Backwards, so that a directory's contents come before the directory.
  for (const char* name = PreviousListedName(addList, end);; name = PreviousListedName(addList, name)) {
    const Status built = BuildSourcePath(path, sourceDirectory, name);
    if (built.IsFailed()) return built;
    if (!IsDirectoryName(name) && !DiskFile::Delete(path.CStr())) allDeleted = false;
    if (name == addList) break;
  }
  return allDeleted ? StatusOk : SourcesNotRemoved;
}
