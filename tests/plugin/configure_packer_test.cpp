// ConfigurePacker on Linux in a host that has not started the library as
// Double Commander does: it lends no forms, so nothing is shown.
#include <filesystem>

#include "helpers/settings_fixture.h"
#include "plugin/plugin_api.h"

namespace {

using ConfigurePackerTest = SettingsTest;

TEST_F(ConfigurePackerTest, WithoutTheHostsFormsShowsNothingAndChangesNothing) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = Numbering::None;
  s.RarevCompatible = true;
  SetSettings(s);
  const Settings before = Current();
  ConfigurePacker(reinterpret_cast<HWND>(0x5150), reinterpret_cast<HINSTANCE>(0x6660000));
  EXPECT_TRUE(faults.TakeBoxes().empty());
  EXPECT_TRUE(SameSettings(Current(), before));
  EXPECT_FALSE(std::filesystem::exists(config));
}

}  // namespace
