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
#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "platform/posix/test_hooks.h"
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
  if (creationTime == 0) return;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  const FILETIME time{static_cast<DWORD>(creationTime), static_cast<DWORD>(creationTime >> 32)};
  EXPECT_TRUE(SetFileTime(file, &time, nullptr, nullptr));
  CloseHandle(file);
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
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
    GetSettings(saved_);
    Settings settings = DefaultSettings();
    SetSettings(settings);
  }
  void TearDown() override {
    SetSettings(saved_);
    platform_test::ResetAll();
  }

  void UseSettings(const Settings& settings) { SetSettings(settings); }

  // The source directory, with its trailing separator, as the host passes it.
  std::string SourceDir() const { return dir_.Path(""); }
  std::string Source(const std::string& name) const { return dir_.Path(name); }
  std::string ImagePath() const { return dir_.Path("image.tap"); }

  // Texts of the boxes shown since the last call.
  static std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const platform_test::ShownBox& box : platform_test::TakeBoxes()) texts.push_back(box.text);
    return texts;
  }

  ScratchDir dir_;

 private:
  Settings saved_{};
};

}  // namespace pack_test
