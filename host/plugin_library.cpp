#include "host/plugin_library.h"

#include "host/host_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace {

void* FindSymbol(void* module, const char* name) {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
  return dlsym(module, name);
#endif
}

template <typename Function>
void Find(void* module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(FindSymbol(module, name));
}

template <typename Function>
bool Resolve(void* module, const char* name, Function& out, std::string& error) {
  Find(module, name, out);
  if (out == nullptr) error = std::string("the plug-in does not export ") + name;
  return out != nullptr;
}

std::string ExecutablePath() {
#ifdef _WIN32
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof *path);
  return length > 0 && length < sizeof path / sizeof *path ? Utf8Of(path) : std::string();
#else
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
#endif
}

// Names one after another, each ended by a NUL, the list ended by an empty name.
template <typename Text>
Text NameList(const std::vector<Text>& names) {
  Text list;
  for (const Text& name : names) {
    list += name;
    list += typename Text::value_type{};
  }
  list += typename Text::value_type{};
  return list;
}

template <typename Text, typename Convert>
std::vector<Text> Converted(const std::vector<std::string>& names, Convert convert) {
  std::vector<Text> converted;
  for (const std::string& name : names) converted.push_back(convert(name));
  return converted;
}

}  // namespace

bool Plugin::Load(const std::string& path, bool ansi, std::string& error) {
#ifdef _WIN32
  module_ = LoadLibraryW(reinterpret_cast<const wchar_t*>(WideOf(path).c_str()));
  if (module_ == nullptr) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
#else
  module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    const char* reason = dlerror();
    error = "cannot load " + path + (reason != nullptr ? std::string(": ") + reason : std::string());
    return false;
  }
#endif
  Find(module_, "PackFiles", packFiles_);
  Find(module_, "DeleteFiles", deleteFiles_);
  if (!ansi) {
    Find(module_, "OpenArchiveW", openArchiveW_);
    Find(module_, "ReadHeaderExW", readHeaderExW_);
    Find(module_, "ProcessFileW", processFileW_);
    Find(module_, "PackFilesW", packFilesW_);
    Find(module_, "DeleteFilesW", deleteFilesW_);
  }
  wide_ = openArchiveW_ != nullptr && readHeaderExW_ != nullptr && processFileW_ != nullptr;
  return (wide_ || (Resolve(module_, "OpenArchive", openArchive_, error) &&
                    Resolve(module_, "ReadHeader", readHeader_, error) &&
                    Resolve(module_, "ProcessFile", processFile_, error))) &&
         Resolve(module_, "CloseArchive", closeArchive_, error) &&
         Resolve(module_, "GetPackerCaps", getPackerCaps_, error);
}

HANDLE Plugin::OpenArchive(const std::string& image, int& openResult) const {
  HANDLE archive;
  if (wide_) {
    WideString path = WideOf(image);
    tOpenArchiveDataW request{};
    request.ArcName = path.data();
    request.OpenMode = PK_OM_EXTRACT;
    archive = openArchiveW_(&request);
    openResult = request.OpenResult;
  } else {
    std::string path = AnsiOf(image);
    tOpenArchiveData request{};
    request.ArcName = path.data();
    request.OpenMode = PK_OM_EXTRACT;
    archive = openArchive_(&request);
    openResult = request.OpenResult;
  }
  return archive;
}

int Plugin::ReadHeader(HANDLE archive, EntryHeader* header) const {
  int code;
  if (wide_) {
    tHeaderDataExW& record = *wideRecord_;
    code = readHeaderExW_(archive, &record);
    header->name = Utf8Of(record.FileName);
    header->packSize = static_cast<int>(record.PackSize);
    header->unpSize = static_cast<int>(record.UnpSize);
    header->fileTime = record.FileTime;
  } else {
    tHeaderData& record = *ansiRecord_;
    code = readHeader_(archive, &record);
    Utf8OfAnsi(record.FileName, header->name);
    header->packSize = record.PackSize;
    header->unpSize = record.UnpSize;
    header->fileTime = record.FileTime;
  }
  return code;
}

int Plugin::ProcessFile(HANDLE archive, int operation, const std::string* target) const {
  if (wide_) {
    WideString name = target != nullptr ? WideOf(*target) : WideString();
    return processFileW_(archive, operation, nullptr, target != nullptr ? name.data() : nullptr);
  }
  std::string name = target != nullptr ? AnsiOf(*target) : std::string();
  return processFile_(archive, operation, nullptr, target != nullptr ? name.data() : nullptr);
}

int Plugin::CloseArchive(HANDLE archive) const { return closeArchive_(archive); }

int Plugin::GetPackerCaps() const { return getPackerCaps_(); }

bool Plugin::CanPack() const { return packFilesW_ != nullptr || packFiles_ != nullptr; }

bool Plugin::CanDelete() const { return deleteFilesW_ != nullptr || deleteFiles_ != nullptr; }

int Plugin::PackFiles(const std::string& image, const std::string& source, const std::vector<std::string>& names,
                      int flags) const {
  if (packFilesW_ != nullptr) {
    WideString packed = WideOf(image);
    WideString from = WideOf(source);
    WideString list = NameList(Converted<WideString>(names, WideOf));
    return packFilesW_(packed.data(), nullptr, from.data(), list.data(), flags);
  }
  std::string packed = AnsiOf(image);
  std::string from = AnsiOf(source);
  std::string list = NameList(Converted<std::string>(names, AnsiOf));
  return packFiles_(packed.data(), nullptr, from.data(), list.data(), flags);
}

int Plugin::DeleteFiles(const std::string& image, const std::vector<std::string>& names) const {
  if (deleteFilesW_ != nullptr) {
    WideString packed = WideOf(image);
    WideString list = NameList(Converted<WideString>(names, WideOf));
    return deleteFilesW_(packed.data(), list.data());
  }
  std::string packed = AnsiOf(image);
  std::string list = NameList(Converted<std::string>(names, AnsiOf));
  return deleteFiles_(packed.data(), list.data());
}

void* Plugin::Optional(const char* name) const { return FindSymbol(module_, name); }

std::string DefaultPluginPath() {
  const std::string program = ExecutablePath();
  const size_t slash = program.find_last_of("/\\");
  const std::string directory = slash == std::string::npos ? std::string(".") : program.substr(0, slash);
  return directory + "/Doved.wcx";
}
