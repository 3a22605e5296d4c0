#include "helpers/plugin_copy.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

#include "helpers/file_contents.h"
#include "plugin/entry_walk.h"

namespace {

std::string StructValue(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  unsigned sum = 0;
  char digits[3];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", byte);
    text += digits;
    sum += byte;
  }
  std::snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
  return text + digits;
}

template <typename Function>
void Resolve(void* module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(dlsym(module, name));
}

}  // namespace

std::string PluginConfig::Text() const {
  // The naming group: version 6, decimal flag, two reserved bytes, the gap;
  // its compiled pattern is made afresh on every load.
  std::vector<std::uint8_t> namingMode(208, 0);
  namingMode[0] = 6;
  namingMode[1] = paramsInDecimal ? 1 : 0;
  namingMode[4] = static_cast<std::uint8_t>(paramsGap);
  return "[Doved]\n"
         "RarevCompatible=" + std::to_string(rarevCompatible) + "\n" +
         "FileNameNumbering=" + std::to_string(fileNameNumbering) + "\n" +
         "SmartLenDetect=" + std::to_string(smartLenDetect) + "\n" +
         "DetectHobeta=" + std::to_string(detectHobeta) + "\n" +
         "ExtractHobeta=" + std::to_string(extractHobeta) + "\n" +
         "FileNamingMode=" + StructValue(namingMode) + "\n" +
         "ParamsPatternN=" + std::to_string(paramsPatternN) + "\n";
}

PluginCopy::PluginCopy(const PluginConfig& config)
    : PluginCopy([&config](const std::string& configPath) { StoreFile(configPath, config.Text()); }) {}

PluginCopy::PluginCopy(const std::function<void(const std::string& configPath)>& makeConfig) {
  const std::string library = dir_.Path("Doved.wcx");
  std::error_code failed;
  std::filesystem::copy_file(DOVED_PLUGIN, library, failed);
  if (failed) {
    error_ = "cannot copy " + std::string(DOVED_PLUGIN) + ": " + failed.message();
    return;
  }
  makeConfig(dir_.Path("Doved.cfg"));
  module_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    error_ = dlerror();
    return;
  }
  Resolve(module_, "OpenArchive", openArchive_);
  Resolve(module_, "ReadHeader", readHeader_);
  Resolve(module_, "ProcessFile", processFile_);
  Resolve(module_, "CloseArchive", closeArchive_);
  Resolve(module_, "PackFiles", packFiles_);
  if (!openArchive_ || !readHeader_ || !processFile_ || !closeArchive_ || !packFiles_) {
    error_ = "the plug-in lacks an export";
    dlclose(module_);
    module_ = nullptr;
  }
}

PluginCopy::~PluginCopy() {
  if (module_ != nullptr) dlclose(module_);
}

int PluginCopy::ExtractAll(const std::string& image, const std::string& directory,
                           std::vector<std::string>& names) const {
  std::string path = image;
  tOpenArchiveData request{};
  request.ArcName = path.data();
  request.OpenMode = PK_OM_EXTRACT;
  const HANDLE archive = openArchive_(&request);
  if (archive == nullptr) return request.OpenResult;
  int result = 0;
  const int code = WalkEntries(readHeader_, archive, [&](const tHeaderData& header) {
    names.push_back(header.FileName);
    std::string target = directory + "/" + header.FileName;
    const int extracted = processFile_(archive, PK_EXTRACT, nullptr, target.data());
    if (result == 0) result = extracted;
    return 0;
  });
  if (result == 0) result = code;
  const int closed = closeArchive_(archive);
  return result != 0 ? result : closed;
}

int PluginCopy::Pack(const std::string& image, const std::string& directory, const std::vector<std::string>& names,
                     int flags) const {
  std::string imagePath = image;
  std::string source = directory + "/";
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  list += '\0';
  return packFiles_(imagePath.data(), nullptr, source.data(), list.data(), flags);
}
