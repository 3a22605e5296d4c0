// Fonts are records without glyphs: enough to tell which font a control shows
// and whether every font made was deleted again.
#include <map>
#include <mutex>

#include "platform/posix/dialog_test_hooks.h"
#include "platform/posix/dialog_window.h"

namespace {

// The shell dialog font at 8 points on a 96 dpi screen.
const platform_test::FontInfo dialogFont{"MS Shell Dlg", -11, FW_NORMAL};
const HFONT dialogFontHandle = reinterpret_cast<HFONT>(static_cast<ULONG_PTR>(0x10));

std::mutex fontMutex;
std::map<HFONT, platform_test::FontInfo> fonts;
// Handles are never reused, so a deleted font cannot come back to life.
ULONG_PTR nextHandle = 0x1000;

}  // namespace

HFONT CreateFontA(int height, int, int, int, int weight, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  LPCSTR face) {
  std::lock_guard lock(fontMutex);
  const HFONT font = reinterpret_cast<HFONT>(nextHandle);
  nextHandle += 0x10;
  fonts[font] = {face != nullptr && *face != '\0' ? face : "System", height, weight != 0 ? weight : FW_NORMAL};
  return font;
}

BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard lock(fontMutex);
  return fonts.erase(static_cast<HFONT>(object)) != 0 ? TRUE : FALSE;
}

HFONT dialog_model::DialogFont() { return dialogFontHandle; }

namespace platform_test {

FontInfo DescribeFont(HFONT font) {
  if (font == dialogFontHandle) return dialogFont;
  std::lock_guard lock(fontMutex);
  const auto found = fonts.find(font);
  return found != fonts.end() ? found->second : FontInfo{};
}

std::size_t LiveFonts() {
  std::lock_guard lock(fontMutex);
  return fonts.size();
}

}  // namespace platform_test
