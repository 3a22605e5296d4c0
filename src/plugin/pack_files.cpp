// PackFiles: adds files to a TAP image, creating it when it does not exist.
#include "base/error_report.h"
#include "modify/pack_image.h"
#include "modify/remove_sources.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"

DOVED_EXPORT int DOVED_CALL PackFiles(char* PackedFile, char* /*SubPath*/, char* SrcPath, char* AddList, int Flags) {
  Settings settings;
  GetSettings(settings);
  const bool move = (Flags & PK_PACK_MOVE_FILES) != 0;
  const Status result = PackImage(PackedFile, SrcPath, AddList, move ? Sources::Moved : Sources::Kept, settings);
  // Sources go only once the image holding them is written and closed; a
  // file left behind is told about, but the packing stands.
  if (result.IsOk() && move) ReportStatus(RemoveSources(SrcPath, AddList));
  ReportStatus(result);
  return HostCode(result);
}
