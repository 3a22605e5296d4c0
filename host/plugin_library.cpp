#include "host/plugin_library.h"

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
bool Resolve(void* module, const char* name, Function& out, std::string& error) {
  void* symbol = FindSymbol(module, name);
  if (symbol == nullptr) {
    error = std::string("the plug-in does not export ") + name;
    return false;
  }
  out = reinterpret_cast<Function>(symbol);
  return true;
}

std::string ExecutablePath() {
#ifdef _WIN32
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
#else
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
#endif
}

}  // namespace

bool Plugin::Load(const std::string& path, std::string& error) {
#ifdef _WIN32
  module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
#else
  module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    error = "cannot load " + path + (reason != nullptr ? std::string(": ") + reason : std::string());
    return false;
  }
#endif
  return Resolve(module, "OpenArchive", OpenArchive, error) && Resolve(module, "ReadHeader", ReadHeader, error) &&
         Resolve(module, "ProcessFile", ProcessFile, error) && Resolve(module, "CloseArchive", CloseArchive, error) &&
         Resolve(module, "GetPackerCaps", GetPackerCaps, error);
}

void* Plugin::Optional(const char* name) const { return FindSymbol(module, name); }

std::string DefaultPluginPath() {
  const std::string program = ExecutablePath();
  const size_t slash = program.find_last_of("/\\");
  const std::string directory = slash == std::string::npos ? std::string(".") : program.substr(0, slash);
  return directory + "/Doved.wcx";
}
