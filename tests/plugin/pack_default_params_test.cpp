// What Total Commander names once it has loaded the library: its own
// settings file, whose folder takes Doved.cfg where none lies beside the
// library. A record the host got wrong changes nothing.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "helpers/profile_file.h"
#include "helpers/settings_fixture.h"
#include "plugin/plugin_api.h"

namespace {

using PackDefaultParamsTest = SettingsTest;

PackDefaultParamStruct Record(const std::string& iniName) {
  PackDefaultParamStruct params{};
  params.size = sizeof params;
  params.PluginInterfaceVersionHi = 2;
  params.PluginInterfaceVersionLow = 21;
  std::memcpy(params.DefaultIniName, iniName.c_str(), std::min(iniName.size() + 1, sizeof params.DefaultIniName));
  return params;
}

TEST_F(PackDefaultParamsTest, TheFolderOfTheHostsSettingsFileTakesDovedCfg) {
  const std::string host = dir.Path("host");
  std::filesystem::create_directories(host);
  StoreProfileKey(host + "/Doved.cfg", "ExtractHobeta", "1");

  PackSetDefaultParams(nullptr);
  PackDefaultParamStruct shortRecord = Record(host + "/wincmd.ini");
  shortRecord.size = sizeof shortRecord - 1;
  PackDefaultParamStruct unterminated = Record(host + "/wincmd.ini");
  std::memset(unterminated.DefaultIniName, 'a', sizeof unterminated.DefaultIniName);
  PackDefaultParamStruct bareName = Record("wincmd.ini");
  for (PackDefaultParamStruct* wrong : {&shortRecord, &unterminated, &bareName}) {
    PackSetDefaultParams(wrong);
    EXPECT_EQ(std::string(ConfigFilePath), config) << wrong->DefaultIniName;
  }
  EXPECT_FALSE(Current().ExtractHobeta);

  PackDefaultParamStruct named = Record(host + "/wincmd.ini");
  PackSetDefaultParams(&named);
  EXPECT_EQ(std::string(ConfigFilePath), host + "/Doved.cfg");
  EXPECT_TRUE(Current().ExtractHobeta) << "the file there is read at once";
}

}  // namespace
