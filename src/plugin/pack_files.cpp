// PackFiles: adds files to a TAP image, creating it when it does not exist.
#include <initializer_list>

#include "base/error_report.h"
#include "modify/pack_image.h"
#include "modify/remove_sources.h"
#include "plugin/host_bindings.h"
#include "plugin/image_changes.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"

namespace {

Status PackInto(const HostText& packedFile, const HostText& srcPath, const HostText& addList, int flags) {
  for (const HostText* argument : {&packedFile, &srcPath, &addList}) {
    if (argument->Failure().IsFailed()) return argument->Failure();
  }
  Settings settings;
  GetSettings(settings);
  const bool move = (flags & PK_PACK_MOVE_FILES) != 0;
  const Status result =
      PackImage(packedFile.Utf8(), srcPath.Utf8(), addList.Utf8(), move ? Sources::Moved : Sources::Kept, settings);
  // Sources go only once the image holding them is written and closed; a
  // file left behind is told about, but the packing stands.
  if (result.IsOk() && move) ReportStatus(RemoveSources(srcPath.Utf8(), addList.Utf8()));
  return result;
}

}  // namespace

int PackHostFiles(const HostText& packedFile, const HostText& srcPath, const HostText& addList, int flags) {
  const Status result = PackInto(packedFile, srcPath, addList, flags);
  ReportStatus(result);
  return HostCode(result);
}

DOVED_EXPORT int DOVED_CALL PackFiles(char* PackedFile, char* /*SubPath*/, char* SrcPath, char* AddList, int Flags) {
  return PackFilesFrom(PackedFile, SrcPath, AddList, Flags);
}
