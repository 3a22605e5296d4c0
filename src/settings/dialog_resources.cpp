// The dialog templates for the POSIX layer, from the same rows that the
// resource compiler turns into the Windows resources (doved.rc).
#ifndef _WIN32

#include <iterator>

#include "platform/posix/dialog_resource.h"
#include "platform/windows_api.h"
#include "settings/dialog_controls.h"

namespace {

#define DOVED_TEMPLATE_ITEM(id, windowClass, text, style, x, y, width, height) {id, windowClass, text, style},
constexpr DialogItemResource configItems[] = {DOVED_CONFIG_CONTROLS(DOVED_TEMPLATE_ITEM)};
constexpr DialogItemResource aboutItems[] = {DOVED_ABOUT_CONTROLS(DOVED_TEMPLATE_ITEM)};
#undef DOVED_TEMPLATE_ITEM

constexpr DialogResource dialogs[] = {
    {IDD_CONFIG, DOVED_CONFIG_CAPTION, configItems, std::size(configItems)},
    {IDD_ABOUT, DOVED_ABOUT_CAPTION, aboutItems, std::size(aboutItems)},
};

}  // namespace

const DialogResource* FindDialogResource(WORD id) {
  for (const DialogResource& dialog : dialogs) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

#endif
