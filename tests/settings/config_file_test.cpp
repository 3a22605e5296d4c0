#include <cerrno>
#include <string>
#include <vector>

#include "helpers/profile_file.h"
#include "helpers/settings_fixture.h"
#include "settings/params_pattern.h"

namespace {

class ConfigFileTest : public SettingsTest {
 protected:
  void Store(const char* key, const std::string& text) { StoreProfileKey(config, key, text); }
  void StoreStruct(const char* key, const void* bytes, std::uint32_t size) {
    StoreProfileKey(config, key, StructText(bytes, size));
  }
};

const std::string Indent(30, ' ');
const std::string DefaultCompiled = Indent + "\x01 \x02 \x03 \x04 \x05 \x06";

Settings DefaultsAsLoaded() {
  Settings s = DefaultSettings();
  SetText(s.FileNamingMode.CompiledParamsPattern, DefaultCompiled.c_str());
  return s;
}

TEST_F(ConfigFileTest, WithoutAFileTheDefaultsLoadWithTheirCompiledPattern) {
  const Settings loaded = LoadSettings();
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern), DefaultCompiled);
  EXPECT_TRUE(SameSettings(loaded, DefaultsAsLoaded()));
  EXPECT_TRUE(NamesIn(dir.Path(".")).empty()) << "loading creates no file";
}

TEST_F(ConfigFileTest, MissingKeysKeepTheValuesInForce) {
  Settings current = DefaultSettings();
  current.FileNameNumbering = Numbering::Hex;
  current.ExtractHobeta = true;
  current.ParamsPatternN = 2;
  SetSettings(current);
  Store("DetectHobeta", "0");
  const Settings loaded = LoadSettings();
  EXPECT_EQ(loaded.FileNameNumbering, Numbering::Hex);
  EXPECT_TRUE(loaded.ExtractHobeta);
  EXPECT_FALSE(loaded.DetectHobeta);
  EXPECT_EQ(loaded.ParamsPatternN, 2);
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern),
            Indent + "LEN=\x01 STA=\x02 VAR=\x03 BOD=\x04 FLA=\x05 ATT=\x06");
}

TEST_F(ConfigFileTest, IntegersAreClampedOrIgnored) {
  Store("RarevCompatible", "5");
  Store("SmartLenDetect", "0");
  Store("FileNameNumbering", "7");
  Store("ParamsPatternN", "3");
  Settings loaded = LoadSettings();
  EXPECT_TRUE(loaded.RarevCompatible);
  EXPECT_FALSE(loaded.SmartLenDetect);
  EXPECT_EQ(loaded.FileNameNumbering, Numbering::Dec);
  EXPECT_EQ(loaded.ParamsPatternN, 1);

  Store("FileNameNumbering", "-3");
  Store("ParamsPatternN", "2");
  loaded = LoadSettings();
  EXPECT_EQ(loaded.FileNameNumbering, Numbering::None);
  EXPECT_EQ(loaded.ParamsPatternN, 2);
}

TEST_F(ConfigFileTest, NamingModeGroupIsTakenOnlyInVersion6) {
  NamingModeGroup group{};
  group.FileNamingModeVersion = 5;
  group.ParamsInDecimal = 1;
  group.reserved[1] = 0x7F;
  group.ParamsGap = GapMode::FixedFont;
  SetText(group.CompiledParamsPattern, "stale");
  StoreStruct("FileNamingMode", &group, sizeof group);
  Settings loaded = LoadSettings();
  EXPECT_EQ(loaded.FileNamingMode.ParamsInDecimal, 0);
  EXPECT_EQ(loaded.FileNamingMode.ParamsGap, GapMode::Aligned);
  EXPECT_EQ(loaded.FileNamingMode.reserved[1], 0);

  group.FileNamingModeVersion = 6;
  StoreStruct("FileNamingMode", &group, sizeof group);
  loaded = LoadSettings();
  EXPECT_EQ(loaded.FileNamingMode.ParamsInDecimal, 1);
  EXPECT_EQ(loaded.FileNamingMode.ParamsGap, GapMode::FixedFont);
  EXPECT_EQ(loaded.FileNamingMode.reserved[1], 0x7F);
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern), DefaultCompiled)
      << "the stored compiled pattern is always recompiled";
}

TEST_F(ConfigFileTest, TextsWithoutTerminatorAreCutToFit) {
  StoreStruct("FileNameNumberingSeparator", "ABCDEFGHI", SeparatorSize);
  std::string pattern = "<len><start><vars><body><flag><attr>";
  pattern.resize(PatternSize, 'y');
  StoreStruct("ParamsPattern1", pattern.data(), PatternSize);
  const Settings loaded = LoadSettings();
  EXPECT_EQ(std::string(loaded.FileNameNumberingSeparator), "ABCDEFGH");
  EXPECT_EQ(std::string(loaded.ParamsPattern1), pattern.substr(0, PatternSize - 1));
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern),
            "\x01\x02\x03\x04\x05\x06" + std::string(PatternSize - 1 - 36, 'y'));
}

TEST_F(ConfigFileTest, InvalidSelectedPatternFallsBackToTheSameNumberedOne) {
  Store("ParamsPatternN", "2");
  char stored[PatternSize];
  SetText(stored, "<start><len><vars><body><flag><attr>");
  StoreStruct("ParamsPattern2", stored, PatternSize);
  SetText(stored, "not.selected");
  StoreStruct("ParamsPattern1", stored, PatternSize);
  Settings loaded = LoadSettings();
  EXPECT_EQ(loaded.ParamsPatternN, 2);
  EXPECT_EQ(std::memcmp(loaded.ParamsPattern2, DefaultSettings().ParamsPattern2, PatternSize), 0);
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern),
            Indent + "LEN=\x01 STA=\x02 VAR=\x03 BOD=\x04 FLA=\x05 ATT=\x06");
  EXPECT_EQ(std::string(loaded.ParamsPattern1), "not.selected");

  // The fallback is the pattern in force, which need not be the built-in one.
  Settings current = DefaultSettings();
  SetText(current.ParamsPattern2, "<len><start><vars><body><flag><attr>");
  SetSettings(current);
  loaded = LoadSettings();
  EXPECT_EQ(std::string(loaded.ParamsPattern2), "<len><start><vars><body><flag><attr>");
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern), "\x01\x02\x03\x04\x05\x06");
}

TEST_F(ConfigFileTest, ABrokenPatternInForceFallsBackToTheBuiltInOne) {
  // A second file read over the first (a host's own settings folder) can
  // select the pattern that the first left broken because it was not selected.
  Settings current = DefaultSettings();
  SetText(current.ParamsPattern2, "broken.too");
  SetSettings(current);
  Store("ParamsPatternN", "2");
  char stored[PatternSize];
  SetText(stored, "not.a.pattern");
  StoreStruct("ParamsPattern2", stored, PatternSize);
  const Settings loaded = LoadSettings();
  EXPECT_EQ(loaded.ParamsPatternN, 2);
  EXPECT_EQ(std::memcmp(loaded.ParamsPattern2, DefaultSettings().ParamsPattern2, PatternSize), 0);
  EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern),
            Indent + "LEN=\x01 STA=\x02 VAR=\x03 BOD=\x04 FLA=\x05 ATT=\x06");
}

TEST_F(ConfigFileTest, MalformedStructValuesAreIgnored) {
  Store("FileNameNumberingSeparator", "2120202000000000");                         // too short
  Store("ParamsPattern1", FieldText("<len><start><vars><body><flag><attr>", PatternSize - 1));
  std::string group = FieldText(std::string("\x06\x01\0\0\x03\0\0\0", 8), sizeof(NamingModeGroup));
  group[5] = 'G';                                                                   // bad digit
  Store("FileNamingMode", group);
  std::string pattern2 = FieldText("<len><start><vars><body><flag><attr>", PatternSize);
  pattern2.back() = pattern2.back() == '0' ? '1' : '0';                            // bad checksum
  Store("ParamsPattern2", pattern2);
  EXPECT_TRUE(SameSettings(LoadSettings(), DefaultsAsLoaded()));
}

TEST_F(ConfigFileTest, SavingTheDefaultsWritesEveryKeyInOrder) {
  SaveSettings(DefaultSettings());
  const Settings d = DefaultSettings();
  EXPECT_EQ(dir.Read("Doved.cfg"),
            "[Doved]\r\n"
            "RarevCompatible=0\r\n"
            "FileNameNumbering=2\r\n"
            "FileNameNumberingSeparator=21202020000000000081\r\n"
            "SmartLenDetect=1\r\n"
            "DetectHobeta=1\r\n"
            "ExtractHobeta=0\r\n"
            "FileNamingMode=0600000001000000" +
                std::string(400, '0') +
                "07\r\n"
                "ParamsPatternN=1\r\n"
                "ParamsPattern1=" +
                FieldText(d.ParamsPattern1, PatternSize) +
                "\r\n"
                "ParamsPattern2=" +
                FieldText(d.ParamsPattern2, PatternSize) + "\r\n");
  EXPECT_EQ(NamesIn(dir.Path(".")), std::vector<std::string>{"Doved.cfg"});
}

TEST_F(ConfigFileTest, SavedRecordLoadsBackTheSame) {
  Settings saved = DefaultSettings();
  saved.RarevCompatible = true;
  saved.FileNameNumbering = Numbering::Hex;
  SetText(saved.FileNameNumberingSeparator, "-->");
  saved.FileNameNumberingSeparator[6] = 'q';  // bytes after the NUL travel too
  saved.SmartLenDetect = false;
  saved.DetectHobeta = false;
  saved.ExtractHobeta = true;
  saved.FileNamingMode.FileNamingModeVersion = 0;  // saving stamps the version
  saved.FileNamingMode.ParamsInDecimal = 1;
  saved.FileNamingMode.reserved[0] = 0x42;
  saved.FileNamingMode.ParamsGap = GapMode::FixedFont;
  saved.ParamsPatternN = 2;
  SetText(saved.ParamsPattern1, "p1 <len> <start> <vars> <body> <flag> <attr>");
  SetText(saved.ParamsPattern2, "[<len>][<start>][<vars>][<body>][<flag>][<attr>]");
  SaveSettings(saved);

  const Settings loaded = LoadSettings();
  Settings expected = saved;
  expected.FileNamingMode.FileNamingModeVersion = 6;
  SetText(expected.FileNamingMode.CompiledParamsPattern, "[\x01][\x02][\x03][\x04][\x05][\x06]");
  EXPECT_TRUE(SameSettings(loaded, expected));
}

// A save that fails is said, with the file and the system's reason, and
// what was confirmed stays in force all the same.
TEST_F(ConfigFileTest, AFailedSaveIsShownAndTheSettingsStayInForce) {
  const std::string unwritable = dir.Path("missing/Doved.cfg");
  std::snprintf(ConfigFilePath, sizeof ConfigFilePath, "%s", unwritable.c_str());
  faults.SetSystemText(ENOENT, "No such file or directory\r\n");
  Settings accepted = DefaultSettings();
  accepted.ExtractHobeta = true;
  ConfirmSettings(accepted);
  EXPECT_TRUE(Current().ExtractHobeta);
  std::vector<fault_os::Box> boxes = faults.TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Doved error");
  EXPECT_EQ(boxes[0].text, "The settings could not be saved to\n" + unwritable +
                               "\n\nNo such file or directory\n\nThey apply until the file manager is closed.");

  ConfigFilePathFormed = false;
  std::uint32_t error = 1;
  EXPECT_FALSE(SaveSettings(accepted, &error));
  EXPECT_EQ(error, 0u);
  ConfirmSettings(accepted);
  boxes = faults.TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The settings could not be saved: Doved cannot tell where Doved.cfg belongs.");
  EXPECT_TRUE(NamesIn(dir.Path(".")).empty());
}

// Each OS call of saving and then loading fails in turn. Every key holds its
// old or its new value afterwards, whatever loads is a valid record, and
// nothing is left behind: no file beside Doved.cfg, no open file, no block.
TEST_F(ConfigFileTest, EveryFailingCallOfSavingAndLoadingLeavesAValidRecord) {
  Settings saved = DefaultSettings();
  saved.FileNameNumbering = Numbering::Hex;
  saved.ExtractHobeta = true;
  SetText(saved.FileNameNumberingSeparator, "~");
  saved.ParamsPatternN = 2;
  SaveSettings(DefaultSettings());
  const std::string before = dir.Read("Doved.cfg");
  Settings loaded{};
  fault_os::ForEachFailingCall(
      faults,
      [&] {
        dir.Write("Doved.cfg", before);
        SetSettings(DefaultSettings());
        SaveSettings(saved);
        loaded = LoadSettings();
      },
      [&](const std::string& failed) {
        SCOPED_TRACE(testing::Message() << (failed.empty() ? "nothing failing" : failed + " failing"));
        EXPECT_TRUE(loaded.FileNameNumbering == Numbering::Hex || loaded.FileNameNumbering == Numbering::Dec);
        EXPECT_TRUE(std::string(loaded.FileNameNumberingSeparator) == "~" ||
                    std::string(loaded.FileNameNumberingSeparator) == "!   ");
        EXPECT_TRUE(loaded.ParamsPatternN == 1 || loaded.ParamsPatternN == 2);
        // The compiled pattern is always that of the selected text.
        char compiled[PatternSize];
        ASSERT_TRUE(CompileParamsPattern(loaded.ParamsPatternN == 2 ? loaded.ParamsPattern2 : loaded.ParamsPattern1,
                                         compiled));
        EXPECT_EQ(std::string(loaded.FileNamingMode.CompiledParamsPattern), std::string(compiled));
        if (failed.empty()) {
          Settings expected = saved;
          CompileParamsPattern(saved.ParamsPattern2, expected.FileNamingMode.CompiledParamsPattern);
          EXPECT_TRUE(SameSettings(loaded, expected));
        }
        EXPECT_EQ(NamesIn(dir.Path(".")), std::vector<std::string>{"Doved.cfg"});
        EXPECT_EQ(faults.OpenFiles(), 0);
        EXPECT_EQ(faults.LiveBlocks(), 0);
        faults.TakeBoxes();
      });
}

}  // namespace
