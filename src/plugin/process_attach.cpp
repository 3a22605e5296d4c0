// Loading the library runs the attach step; the load itself never fails.
#include "settings/plugin_init.h"

#ifdef _WIN32

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) InitPlugin(instance);
  return TRUE;
}

#else

namespace {

// Any address inside the library names it, as a module handle does on Windows.
__attribute__((constructor)) void AttachLibrary() { InitPlugin(reinterpret_cast<const void*>(&AttachLibrary)); }

}  // namespace

#endif
