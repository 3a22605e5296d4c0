// The built plug-in as a file manager meets it: a copy of Doved.wcx in a
// directory of its own, beside the Doved.cfg that the test wants, loaded at
// run time and reached only through its exports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/host_codes.h"
#include "helpers/scratch_dir.h"
#include "plugin/plugin_api.h"

// Lines of a Doved.cfg: section "Doved" with the given keys.
struct PluginConfig {
  bool rarevCompatible = false;
  int fileNameNumbering = 0;  // 0 none, 1 hexadecimal, 2 decimal
  bool smartLenDetect = true;
  bool detectHobeta = true;
  bool extractHobeta = false;
  int paramsPatternN = 1;
  bool paramsInDecimal = false;
  int paramsGap = 1;

  std::string Text() const;
};

class PluginCopy {
 public:
  explicit PluginCopy(const PluginConfig& config);
  // Whatever `makeConfig` puts at the path of Doved.cfg, or nothing.
  explicit PluginCopy(const std::function<void(const std::string& configPath)>& makeConfig);
  ~PluginCopy();
  PluginCopy(const PluginCopy&) = delete;
  PluginCopy& operator=(const PluginCopy&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  const std::string& Error() const { return error_; }

  // Lists `image` and extracts every entry into `directory` in listing order;
  // the names come back in that order. The first failing code is returned.
  int ExtractAll(const std::string& image, const std::string& directory, std::vector<std::string>& names) const;
  // Packs the names, relative to `directory`, into `image`.
  int Pack(const std::string& image, const std::string& directory, const std::vector<std::string>& names,
           int flags = 0) const;

 private:
  ScratchDir dir_;
  void* module_ = nullptr;
  std::string error_;
  HANDLE(DOVED_CALL* openArchive_)(tOpenArchiveData*) = nullptr;
  int(DOVED_CALL* readHeader_)(HANDLE, tHeaderData*) = nullptr;
  int(DOVED_CALL* processFile_)(HANDLE, int, char*, char*) = nullptr;
  int(DOVED_CALL* closeArchive_)(HANDLE) = nullptr;
  int(DOVED_CALL* packFiles_)(char*, char*, char*, char*, int) = nullptr;
};
