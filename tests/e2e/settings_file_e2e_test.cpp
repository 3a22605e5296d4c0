// Whatever lies at Doved.cfg beside the built plug-in, loading the library
// returns at once; what is no settings file leaves the defaults in force.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "helpers/child_process.h"
#include "helpers/file_contents.h"
#include "helpers/plugin_copy.h"

namespace {

using ConfigMaker = std::function<void(const std::string& configPath)>;

// The names a copy of the plug-in with that Doved.cfg gives the sample's entries.
std::vector<std::string> NamesWith(const ConfigMaker& makeConfig) {
  const PluginCopy plugin(makeConfig);
  std::vector<std::string> names;
  const ScratchDir out;
  if (!plugin.Loaded() || plugin.ExtractAll(DOVED_SAMPLE_IMAGE, out.Path(), names) != 0) names.clear();
  return names;
}

TEST(SettingsFileE2eTest, WhatIsNoSettingsFileLoadsAtOnceWithTheDefaults) {
  const std::string unnumbered = PluginConfig{}.Text();  // where the defaults number every name
  const std::vector<std::string> defaults = NamesWith([](const std::string&) {});
  ASSERT_FALSE(defaults.empty());
  ASSERT_NE(NamesWith([&](const std::string& path) { StoreFile(path, unnumbered); }), defaults);
  const auto loadsDefaults = [&](const ConfigMaker& make) {
    return RunInChildWithin(10, [&] { return NamesWith(make) == defaults ? 0 : 1; });
  };
  const ConfigMaker huge = [&](const std::string& path) {
    StoreFile(path, unnumbered);
    (void)!truncate(path.c_str(), 200 << 20);
  };
  EXPECT_EQ(loadsDefaults([](const std::string& path) { mkfifo(path.c_str(), 0644); }), 0) << "a FIFO";
  EXPECT_EQ(loadsDefaults(huge), 0) << "200 MB, the settings first";
}

}  // namespace
