#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "helpers/profile_file.h"
#include "helpers/settings_fixture.h"

namespace {

using SettingsRecordTest = SettingsTest;

TEST_F(SettingsRecordTest, DefaultsAreTheBuiltInValues) {
  const Settings s = DefaultSettings();
  EXPECT_FALSE(s.RarevCompatible);
  EXPECT_EQ(s.FileNameNumbering, Numbering::Dec);
  EXPECT_EQ(std::memcmp(s.FileNameNumberingSeparator, "!   \0\0\0\0\0", SeparatorSize), 0);
  EXPECT_TRUE(s.SmartLenDetect);
  EXPECT_TRUE(s.DetectHobeta);
  EXPECT_FALSE(s.ExtractHobeta);
  EXPECT_EQ(s.FileNamingMode.FileNamingModeVersion, 6);
  EXPECT_EQ(s.FileNamingMode.ParamsInDecimal, 0);
  EXPECT_EQ(s.FileNamingMode.reserved[0] | s.FileNamingMode.reserved[1], 0);
  EXPECT_EQ(s.FileNamingMode.ParamsGap, GapMode::Aligned);
  EXPECT_EQ(s.FileNamingMode.CompiledParamsPattern[0], '\0');
  EXPECT_EQ(s.ParamsPatternN, 1);
  const std::string indent(30, ' ');
  EXPECT_EQ(s.ParamsPattern1, indent + "<len> <start> <vars> <body> <flag> <attr>");
  EXPECT_EQ(s.ParamsPattern2, indent + "LEN=<len> STA=<start> VAR=<vars> BOD=<body> FLA=<flag> ATT=<attr>");
}

TEST_F(SettingsRecordTest, CopiesAreIndependentOfLaterChanges) {
  Settings before;
  GetSettings(before);
  Settings changed = before;
  changed.FileNameNumbering = Numbering::None;
  changed.ExtractHobeta = true;
  SetSettings(changed);
  EXPECT_EQ(before.FileNameNumbering, Numbering::Dec);
  EXPECT_TRUE(SameSettings(Current(), changed));
  EXPECT_TRUE(NamesIn(dir.Path(".")).empty()) << "a change without save writes nothing";
}

TEST_F(SettingsRecordTest, SaveWritesTheFile) {
  Settings changed = DefaultSettings();
  changed.FileNameNumbering = Numbering::Hex;
  SaveSettings(changed);
  EXPECT_EQ(StoredProfileValue(config, "FileNameNumbering"), "1");
}

// Every field differs between the two records, so a copy that mixes them
// differs from both.
Settings Filled(char fill, bool flag, std::int32_t number) {
  Settings s{};
  s.RarevCompatible = flag;
  s.FileNameNumbering = static_cast<Numbering>(number);
  std::memset(s.FileNameNumberingSeparator, fill, SeparatorSize);
  s.SmartLenDetect = flag;
  s.DetectHobeta = flag;
  s.ExtractHobeta = flag;
  std::memset(&s.FileNamingMode, fill, sizeof s.FileNamingMode);
  s.FileNamingMode.ParamsGap = static_cast<GapMode>(number);
  s.ParamsPatternN = static_cast<std::uint8_t>(number);
  std::memset(s.ParamsPattern1, fill, PatternSize);
  std::memset(s.ParamsPattern2, fill, PatternSize);
  return s;
}

TEST_F(SettingsRecordTest, ConcurrentReadersNeverSeeATornRecord) {
  const Settings first = Filled('a', false, 1);
  const Settings second = Filled('b', true, 2);
  std::atomic<bool> stop{false};
  std::atomic<int> torn{0};
  std::atomic<long> reads{0};
  std::atomic<long> writes{0};
  // Readers may start before any writer: the record in force must already be one of the two.
  SetSettings(first);
  std::vector<std::thread> threads;
  for (int w = 0; w < 2; ++w) {
    threads.emplace_back([&] {
      while (!stop) {
        SetSettings(first);
        SetSettings(second);
        writes += 2;
      }
    });
  }
  for (int r = 0; r < 3; ++r) {
    threads.emplace_back([&] {
      Settings seen;
      do {  // at least once, however the threads are scheduled
        GetSettings(seen);
        if (!SameSettings(seen, first) && !SameSettings(seen, second)) ++torn;
        ++reads;
      } while (!stop);
    });
  }
  // Long enough for many reads even on a loaded machine, where the writers can hog the lock.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  while (reads.load() < 1000 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  stop = true;
  for (std::thread& thread : threads) thread.join();
  // How far reads and writes overlapped is the scheduler's doing: reported, not asserted.
  RecordProperty("reads", static_cast<int>(reads.load()));
  RecordProperty("writes", static_cast<int>(writes.load()));
  EXPECT_EQ(torn.load(), 0) << "in " << reads.load() << " reads during " << writes.load() << " writes";
}

}  // namespace
