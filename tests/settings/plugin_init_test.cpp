#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/error_report.h"
#include "helpers/profile_file.h"
#include "helpers/settings_fixture.h"
#include "settings/plugin_init.h"

namespace {

// A copy of a system library loaded from a path of the test's choosing: an
// address inside it names that path, as a DLL's handle does on Windows.
class LoadedModule {
 public:
  explicit LoadedModule(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    void* original = dlopen("libm.so.6", RTLD_NOW);
    link_map* map = nullptr;
    if (original == nullptr || dlinfo(original, RTLD_DI_LINKMAP, &map) != 0) {
      ADD_FAILURE() << "libm.so.6 not found";
      return;
    }
    std::filesystem::copy_file(map->l_name, path);
    dlclose(original);
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) ADD_FAILURE() << dlerror();
    else address_ = dlsym(handle_, "cbrt");
  }
  ~LoadedModule() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  const void* Handle() const { return address_; }

 private:
  void* handle_ = nullptr;
  void* address_ = nullptr;
};

class PluginInitTest : public SettingsTest {
 protected:
  std::string base = std::filesystem::canonical(dir.Path(".")).string();

  // A module path of exactly `length` characters inside the scratch directory.
  std::string ModulePathOfLength(size_t length) const {
    const std::string name = "/Doved.wcx";
    std::string path = base;
    while (path.size() + name.size() < length) {
      const size_t room = length - path.size() - name.size() - 1;  // a folder needs its '/'
      path += "/" + std::string(std::min<size_t>(room, 200), 'd');
    }
    return path + name;
  }

  // The name of a path inside the scratch directory, relative to it.
  std::string InDir(const std::string& path) const { return path.substr(base.size() + 1); }

  static void WriteConfig(const std::string& path, const char* numbering) {
    StoreProfileKey(path, "FileNameNumbering", numbering);
  }
};

TEST_F(PluginInitTest, LoadsDovedCfgBesideTheModule) {
  const std::string folder = base + "/Plug ins";
  LoadedModule module(folder + "/Doved.wcx");
  WriteConfig(folder + "/Doved.cfg", "0");
  StoreProfileKey(folder + "/Doved.cfg", "ParamsPatternN", "2");

  EXPECT_TRUE(InitPlugin(module.Handle()));
  EXPECT_EQ(std::string(ConfigFilePath), folder + "/Doved.cfg");
  const Settings current = Current();
  EXPECT_EQ(current.FileNameNumbering, Numbering::None);
  EXPECT_EQ(std::string(current.FileNamingMode.CompiledParamsPattern),
            std::string(30, ' ') + "LEN=\x01 STA=\x02 VAR=\x03 BOD=\x04 FLA=\x05 ATT=\x06");
  EXPECT_TRUE(faults.TakeBoxes().empty());
}

// The longest path that leaves room for "Doved.cfg" and the NUL after "Doved.wcx".
constexpr size_t LongestModulePath = sizeof ConfigFilePath - 10;

TEST_F(PluginInitTest, TheLongestPathStillLeavesRoomForTheFileName) {
  const std::string path = ModulePathOfLength(LongestModulePath);
  ASSERT_EQ(path.size(), LongestModulePath);
  LoadedModule module(path);
  EXPECT_TRUE(InitPlugin(module.Handle()));
  EXPECT_EQ(std::string(ConfigFilePath), path.substr(0, path.size() - 9) + "Doved.cfg");
}

TEST_F(PluginInitTest, TooLongPathShowsOneBoxKeepsTheDefaultsAndWritesNothing) {
  for (const size_t length : {LongestModulePath + 1, LongestModulePath + 40}) {
    SCOPED_TRACE(length);
    const std::string path = ModulePathOfLength(length);
    LoadedModule module(path);
    const std::string config = path.substr(0, path.size() - 9) + "Doved.cfg";
    WriteConfig(config, "0");
    const std::string configText = dir.Read(InDir(config));
    const std::string moduleBytes = dir.Read(InDir(path));

    EXPECT_FALSE(InitPlugin(module.Handle()));
    const std::vector<fault_os::Box> boxes = faults.TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Path of plugin DLL is too long.");
    EXPECT_EQ(boxes[0].caption, ErrorCaption);
    EXPECT_TRUE(SameSettings(Current(), DefaultSettings()));
    EXPECT_EQ(std::string(ConfigFilePath), path.substr(0, sizeof ConfigFilePath - 1));

    SaveSettings(DefaultSettings());
    EXPECT_EQ(dir.Read(InDir(path)), moduleBytes);
    EXPECT_EQ(dir.Read(InDir(config)), configText);
    std::vector<std::string> names = NamesIn(std::filesystem::path(path).parent_path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, std::vector<std::string>({"Doved.cfg", "Doved.wcx"}));
  }
}

// The host's settings folder takes Doved.cfg where none lies beside the
// library, and after an attach that found no place for one; the file there is
// laid over the settings in force.
TEST_F(PluginInitTest, TheHostsFolderTakesTheFileWhereNoneLiesBesideTheLibrary) {
  const std::string folder = base + "/host config";
  std::filesystem::create_directories(folder);
  WriteConfig(folder + "/Doved.cfg", "1");
  EXPECT_FALSE(UseSettingsFolder(nullptr));
  EXPECT_FALSE(UseSettingsFolder(""));
  EXPECT_EQ(std::string(ConfigFilePath), config);

  EXPECT_TRUE(UseSettingsFolder(folder.c_str()));
  EXPECT_EQ(std::string(ConfigFilePath), folder + "/Doved.cfg");
  EXPECT_EQ(Current().FileNameNumbering, Numbering::Hex);
  EXPECT_TRUE(Current().DetectHobeta);

  // After a module path too long for the file name.
  LoadedModule module(ModulePathOfLength(LongestModulePath + 40));
  EXPECT_FALSE(InitPlugin(module.Handle()));
  faults.TakeBoxes();
  EXPECT_TRUE(UseSettingsFolder((folder + "/").c_str()));
  EXPECT_TRUE(ConfigFilePathFormed);
  EXPECT_EQ(std::string(ConfigFilePath), folder + "/Doved.cfg");
}

TEST_F(PluginInitTest, ADovedCfgBesideAWritableLibraryOrAFolderTooLongKeepsThePath) {
  WriteConfig(config, "0");
  EXPECT_FALSE(UseSettingsFolder(base.c_str()));
  EXPECT_EQ(std::string(ConfigFilePath), config);

  std::filesystem::remove(config);
  // "/Doved.cfg" after this folder leaves no room for the NUL.
  const size_t folderLength = sizeof ConfigFilePath - 10;
  const std::string tooLong = ModulePathOfLength(sizeof ConfigFilePath).substr(0, folderLength);
  EXPECT_FALSE(UseSettingsFolder(tooLong.c_str()));
  EXPECT_EQ(std::string(ConfigFilePath), config);
  EXPECT_TRUE(UseSettingsFolder(tooLong.substr(0, folderLength - 1).c_str()));
  EXPECT_EQ(std::string(ConfigFilePath), tooLong.substr(0, folderLength - 1) + "/Doved.cfg");
}

}  // namespace
