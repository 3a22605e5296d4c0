// Test helpers for packing: source files with chosen creation times, calls of
// PackFiles as the host makes them, and a fixture that resets the hooks and
// the settings in force.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/host_codes.h"
#include "helpers/fault_os.h"
#include "helpers/file_contents.h"
#include "helpers/file_time_helpers.h"
#include "helpers/scratch_dir.h"
#include "helpers/settings_scope.h"
#include "plugin/plugin_api.h"
#include "settings/settings.h"
#include "tape/tape_entry.h"
#include "tape/time_code.h"

namespace pack_test {

// The creation time that an extraction gives a header entry with these values.
inline std::uint64_t PairTime(std::uint16_t low, std::uint16_t high) {
  TapeEntry entry{};
  entry.hasTimeParams = 1;
  entry.timeParamLow = low;
  entry.timeParamHigh = high;
  return EncodeTimeCode(entry);
}

// Writes `bytes` to `path`; a non-zero `creationTime` is set through the file calls.
inline void WriteSource(const std::string& path, const std::string& bytes, std::uint64_t creationTime = 0) {
  StoreFile(path, bytes);
  if (creationTime != 0) {
    EXPECT_TRUE(SetTimesOf(path, creationTime)) << path;
  }
}

// NUL-ended names closed by an empty one.
inline std::string AddList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  return list + '\0';
}

inline int Pack(const std::string& image, const std::string& sourceDirectory, const std::vector<std::string>& names,
                int flags = 0) {
  std::string imagePath = image;
  std::string source = sourceDirectory;
  std::string list = AddList(names);
  return PackFiles(imagePath.data(), nullptr, source.data(), list.data(), flags);
}

inline std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class PackingTest : public ::testing::Test {
 protected:
  void UseSettings(const Settings& settings) { SetSettings(settings); }

  // The source directory, with its trailing separator, as the host passes it.
  std::string SourceDir() const { return dir_.Path(""); }
  std::string Source(const std::string& name) const { return dir_.Path(name); }
  std::string ImagePath() const { return dir_.Path("image.tap"); }

  // Texts of the boxes shown since the last call.
  std::vector<std::string> BoxTexts() { return faults_.TakeBoxTexts(); }

  ScratchDir dir_;
  fault_os::FaultyOs faults_;

 private:
  SettingsScope settings_{DefaultSettings()};
};

}  // namespace pack_test
