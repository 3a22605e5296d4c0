#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

std::string ProgramPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

std::string ModulePath(const void* module, std::uint32_t size = 4096) {
  std::string out(size, '\x7F');
  const std::uint32_t length = Os.ModulePath(module, out.data(), size);
  return length == 0 ? "<none>" : out.substr(0, length);
}

// A copy of a system library, loaded by a relative path as a host may load
// a plug-in: the loader keeps that relative path.
TEST(OsModulePathTest, ALibraryLoadedByARelativePathHasItsFullPath) {
  ScratchDir dir;
  void* original = dlopen("libm.so.6", RTLD_NOW);
  link_map* map = nullptr;
  ASSERT_NE(original, nullptr);
  ASSERT_EQ(dlinfo(original, RTLD_DI_LINKMAP, &map), 0);
  std::filesystem::create_directories(dir.Path("plugins"));
  std::filesystem::copy_file(map->l_name, dir.Path("plugins/Doved.wcx"));
  dlclose(original);

  const std::string home = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  void* module = dlopen("./plugins/Doved.wcx", RTLD_NOW | RTLD_LOCAL);
  void* address = module != nullptr ? dlsym(module, "cbrt") : nullptr;
  const std::string found = address != nullptr ? ModulePath(address) : "<not loaded>";
  ASSERT_EQ(chdir(home.c_str()), 0);
  if (module != nullptr) dlclose(module);
  EXPECT_EQ(found, dir.Path("plugins/Doved.wcx"));
}

TEST(OsModulePathTest, TheProgramAndTruncationAsGetModuleFileName) {
  const std::string program = ProgramPath();
  const auto size = static_cast<std::uint32_t>(program.size());
  EXPECT_EQ(ModulePath(reinterpret_cast<const void*>(&ProgramPath)), program);
  EXPECT_EQ(ModulePath(nullptr), program);
  EXPECT_EQ(ModulePath(nullptr, size + 1), program);

  // Cut to size - 1 characters and a NUL; the size comes back.
  std::string out(size, '\x7F');
  EXPECT_EQ(Os.ModulePath(nullptr, out.data(), size), size);
  EXPECT_EQ(out, program.substr(0, size - 1) + '\0');
  char one = 'x';
  EXPECT_EQ(Os.ModulePath(nullptr, &one, 1), 1u);
  EXPECT_EQ(one, '\0');
  EXPECT_EQ(Os.ModulePath(nullptr, &one, 0), 0u);
}

}  // namespace
