// The plug-in as a file manager sees it: a library loaded at run time and
// reached only through its exported functions.
#pragma once

#include <string>

#include "plugin/plugin_api.h"

struct Plugin {
  HANDLE(DOVED_CALL* OpenArchive)(tOpenArchiveData*) = nullptr;
  int(DOVED_CALL* ReadHeader)(HANDLE, tHeaderData*) = nullptr;
  int(DOVED_CALL* ProcessFile)(HANDLE, int, char*, char*) = nullptr;
  int(DOVED_CALL* CloseArchive)(HANDLE) = nullptr;
  int(DOVED_CALL* GetPackerCaps)() = nullptr;
  void* module = nullptr;

  // Loads the library and finds the listing functions every packer plug-in
  // has; on failure returns false and says why in `error`.
  bool Load(const std::string& path, std::string& error);
  // A function that a plug-in may leave out (packing, deleting, options), or null.
  void* Optional(const char* name) const;
};

// The Doved.wcx that lies beside this program.
std::string DefaultPluginPath();
