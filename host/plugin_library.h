// The plug-in as a file manager sees it: a library loaded at run time and
// reached only through its exported functions. As Total Commander does, the
// host tool calls the Unicode entry points wherever the plug-in exports them,
// and the ANSI ones otherwise, or when asked to.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plugin/plugin_api.h"

// What a header record tells of one entry, its name in UTF-8.
struct EntryHeader {
  std::string name;
  int packSize = 0;
  int unpSize = 0;
  int fileTime = 0;
};

class Plugin {
 public:
  // Loads the library and finds the listing functions every packer plug-in
  // has; on failure returns false and says why in `error`. `ansi` keeps to
  // the ANSI entry points.
  bool Load(const std::string& path, bool ansi, std::string& error);

  HANDLE OpenArchive(const std::string& image, int& openResult) const;
  int ReadHeader(HANDLE archive, EntryHeader* header) const;
  // Skips or tests the entry with no target, extracts it to `target`.
  int ProcessFile(HANDLE archive, int operation, const std::string* target = nullptr) const;
  int CloseArchive(HANDLE archive) const;
  int GetPackerCaps() const;
  // Whether the plug-in packs or deletes at all; the calls give the host code.
  bool CanPack() const;
  bool CanDelete() const;
  int PackFiles(const std::string& image, const std::string& source, const std::vector<std::string>& names,
                int flags) const;
  int DeleteFiles(const std::string& image, const std::vector<std::string>& names) const;
  // A function that a plug-in may leave out, or null.
  void* Optional(const char* name) const;
  void* Module() const { return module_; }
  bool Wide() const { return wide_; }

 private:
  void* module_ = nullptr;
  bool wide_ = false;
  HANDLE(DOVED_CALL* openArchive_)(tOpenArchiveData*) = nullptr;
  int(DOVED_CALL* readHeader_)(HANDLE, tHeaderData*) = nullptr;
  int(DOVED_CALL* processFile_)(HANDLE, int, char*, char*) = nullptr;
  int(DOVED_CALL* packFiles_)(char*, char*, char*, char*, int) = nullptr;
  int(DOVED_CALL* deleteFiles_)(char*, char*) = nullptr;
  HANDLE(DOVED_CALL* openArchiveW_)(tOpenArchiveDataW*) = nullptr;
  int(DOVED_CALL* readHeaderExW_)(HANDLE, tHeaderDataExW*) = nullptr;
  int(DOVED_CALL* processFileW_)(HANDLE, int, WCHAR*, WCHAR*) = nullptr;
  int(DOVED_CALL* packFilesW_)(WCHAR*, WCHAR*, WCHAR*, WCHAR*, int) = nullptr;
  int(DOVED_CALL* deleteFilesW_)(WCHAR*, WCHAR*) = nullptr;
  int(DOVED_CALL* closeArchive_)(HANDLE) = nullptr;
  int(DOVED_CALL* getPackerCaps_)() = nullptr;
  // The records ReadHeader fills, made once: a listing reads one per entry.
  std::unique_ptr<tHeaderData> ansiRecord_ = std::make_unique<tHeaderData>();
  std::unique_ptr<tHeaderDataExW> wideRecord_ = std::make_unique<tHeaderDataExW>();
};

// The Doved.wcx that lies beside this program.
std::string DefaultPluginPath();
