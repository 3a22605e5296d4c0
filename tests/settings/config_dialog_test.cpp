// The settings dialog as the host opens it, through ConfigurePacker, with a
// scripted user at the controls.
#include <cstddef>
#include <filesystem>
#include <utility>
#include <vector>

#include "helpers/settings_fixture.h"
#include "platform/posix/dialog_test_hooks.h"
#include "plugin/plugin_api.h"
#include "settings/config_dialog.h"
#include "settings/dialog_controls.h"
#include "settings/params_pattern.h"

namespace {

using platform_test::DialogUser;

constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";
constexpr char InvalidNotice[] = "\nInvalid file name pattern!";

constexpr int NumberingRadios[] = {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC};
constexpr int BsDosOptions[] = {IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2, IDC_PATTERN1,        IDC_PATTERN2,
                                IDC_PARAMS_IN_DECIMAL, IDC_GAP_ALIGNED,   IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT};

const HWND HostWindow = reinterpret_cast<HWND>(0x5150);
const HINSTANCE PluginInstance = reinterpret_cast<HINSTANCE>(0x6660000);

class ConfigDialogTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    platform_test::ClearDialogScripts();
    fontsBefore_ = platform_test::LiveFonts();
    InForce(DefaultSettings());
  }

  void TearDown() override {
    EXPECT_EQ(platform_test::PendingDialogScripts(), 0u) << "a scripted dialog was never shown";
    EXPECT_EQ(platform_test::LiveFonts(), fontsBefore_) << "a font outlived its dialog";
    platform_test::ClearDialogScripts();
    SettingsTest::TearDown();
  }

  // Puts `s` in force as a load would: with its selected pattern compiled.
  static Settings InForce(Settings s) {
    CompileParamsPattern(s.ParamsPatternN == 2 ? s.ParamsPattern2 : s.ParamsPattern1,
                         s.FileNamingMode.CompiledParamsPattern);
    SetSettings(s);
    return s;
  }

  static Settings RarevDefaults() {
    Settings s = DefaultSettings();
    s.RarevCompatible = true;
    return s;
  }

  static void Configure(platform_test::DialogScript script) {
    platform_test::ScriptDialog(std::move(script));
    ConfigurePacker(HostWindow, PluginInstance);
  }

  bool ConfigWritten() const { return std::filesystem::exists(config); }

  // What the file holds, loaded over the defaults.
  static Settings Reloaded() {
    InForce(DefaultSettings());
    return LoadSettings();
  }

 private:
  std::size_t fontsBefore_ = 0;
};

template <std::size_t N>
void ExpectEnabled(const DialogUser& user, const int (&ids)[N], bool enabled) {
  for (const int id : ids) EXPECT_EQ(user.IsEnabled(id), enabled) << "control " << id;
}

TEST_F(ConfigDialogTest, OkWithoutChangesWritesTheSameSettingsAnew) {
  const Settings before = Current();
  Configure([](DialogUser& user) {
    EXPECT_EQ(user.ResourceId(), IDD_CONFIG);
    EXPECT_EQ(user.Caption(), "Doved config");
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    const platform_test::FontInfo notice = user.Font(IDC_MESSAGE);
    EXPECT_EQ(notice.face, "MS Shell Dlg");
    EXPECT_EQ(notice.weight, FW_BOLD);
    EXPECT_TRUE(user.IsEnabled(IDOK));
    EXPECT_TRUE(user.Click(IDOK));
    EXPECT_FALSE(user.IsOpen());
    // The message control has its own font back before the bold one is gone.
    EXPECT_EQ(user.Font(IDC_MESSAGE).weight, FW_NORMAL);
  });
  EXPECT_TRUE(SameSettings(Current(), before));
  ASSERT_TRUE(ConfigWritten());
  EXPECT_TRUE(SameSettings(Reloaded(), before));
}

TEST_F(ConfigDialogTest, ControlsShowTheSettingsInForce) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = 1;
  SetText(s.FileNameNumberingSeparator, "-=-");
  s.SmartLenDetect = false;
  s.ExtractHobeta = true;
  s.FileNamingMode.ParamsInDecimal = 2;  // any byte but 0 is ticked, and unchanged
  s.FileNamingMode.ParamsGap = 3;
  s.ParamsPatternN = 2;
  SetText(s.ParamsPattern1, "A<len><start><vars><body><flag><attr>");
  SetText(s.ParamsPattern2, "<len>-<start>-<vars>-<body>-<flag>-<attr>");
  const Settings opened = InForce(s);
  Configure([](DialogUser& user) {
    EXPECT_EQ(user.CheckState(IDC_RAREV_COMPATIBLE), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_NUMBERING_NONE), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_NUMBERING_HEX), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_NUMBERING_DEC), BST_UNCHECKED);
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "-=-");
    EXPECT_EQ(user.CheckState(IDC_SMART_LENGTH), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_DETECT_HOBETA), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_EXTRACT_HOBETA), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_PARAMS_IN_DECIMAL), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_ALIGNED), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_VARIABLE_FONT), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_FIXED_FONT), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_SELECT_PATTERN1), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_SELECT_PATTERN2), BST_CHECKED);
    EXPECT_EQ(user.Text(IDC_PATTERN1), "A<len><start><vars><body><flag><attr>");
    EXPECT_EQ(user.Text(IDC_PATTERN2), "<len>-<start>-<vars>-<body>-<flag>-<attr>");
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    // Outside the Rarev-compatible mode the TR-DOS options are live and the BS-DOS ones are not.
    ExpectEnabled(user, NumberingRadios, true);
    EXPECT_TRUE(user.IsEnabled(IDC_EXTRACT_HOBETA));
    EXPECT_TRUE(user.IsEnabled(IDC_SMART_LENGTH));
    ExpectEnabled(user, BsDosOptions, false);
    EXPECT_TRUE(user.Click(IDCANCEL));
  });
  EXPECT_TRUE(SameSettings(Current(), opened));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigDialogTest, RarevCompatibleSwapsTheOptionGroupsAndAsksForARestart) {
  Configure([](DialogUser& user) {
    ASSERT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    ExpectEnabled(user, NumberingRadios, false);
    EXPECT_FALSE(user.IsEnabled(IDC_EXTRACT_HOBETA));
    EXPECT_TRUE(user.IsEnabled(IDC_DETECT_HOBETA));
    EXPECT_TRUE(user.IsEnabled(IDC_SMART_LENGTH));
    ExpectEnabled(user, BsDosOptions, true);
    EXPECT_FALSE(user.Click(IDC_NUMBERING_NONE));

    ASSERT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    ExpectEnabled(user, NumberingRadios, true);
    EXPECT_TRUE(user.IsEnabled(IDC_EXTRACT_HOBETA));
    ExpectEnabled(user, BsDosOptions, false);
    EXPECT_TRUE(user.Close());
  });
}

TEST_F(ConfigDialogTest, RestartNoticeFollowsWhatRenamesEntries) {
  Configure([](DialogUser& user) {
    // Detecting hobeta files only affects packing.
    ASSERT_TRUE(user.Click(IDC_DETECT_HOBETA));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_FALSE(user.IsEnabled(IDC_SMART_LENGTH));
    ASSERT_TRUE(user.Click(IDC_DETECT_HOBETA));
    EXPECT_TRUE(user.IsEnabled(IDC_SMART_LENGTH));

    ASSERT_TRUE(user.Click(IDC_SMART_LENGTH));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    ASSERT_TRUE(user.Click(IDC_SMART_LENGTH));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");

    ASSERT_TRUE(user.Click(IDC_NUMBERING_HEX));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    ASSERT_TRUE(user.Click(IDC_NUMBERING_DEC));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");

    ASSERT_TRUE(user.Click(IDC_EXTRACT_HOBETA));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDCANCEL));
  });
}

TEST_F(ConfigDialogTest, ParametersInDecimalAsksForARestart) {
  InForce(RarevDefaults());
  Configure([](DialogUser& user) {
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    ASSERT_TRUE(user.Click(IDC_PARAMS_IN_DECIMAL));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDOK));
  });
  EXPECT_EQ(Current().FileNamingMode.ParamsInDecimal, 1);
}

TEST_F(ConfigDialogTest, PatternIsCheckedAsItIsTyped) {
  const Settings opened = InForce(RarevDefaults());
  Configure([](DialogUser& user) {
    // The pattern that is not selected may hold anything.
    ASSERT_TRUE(user.Type(IDC_PATTERN2, "not a pattern"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(user.IsEnabled(IDOK));

    ASSERT_TRUE(user.Type(IDC_PATTERN1, "<len><start><vars><body><flag><attr>"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.IsEnabled(IDOK));

    ASSERT_TRUE(user.Type(IDC_PATTERN1, "<len>.<start><vars><body><flag><attr>"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(user.IsEnabled(IDOK));
    EXPECT_FALSE(user.Click(IDOK));
    // An OK that arrives anyway, from the keyboard, is ignored.
    ASSERT_TRUE(user.SendCommand(IDOK, BN_CLICKED));
    EXPECT_TRUE(user.IsOpen());

    ASSERT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(user.IsEnabled(IDOK));
    EXPECT_TRUE(user.Close());
  });
  EXPECT_TRUE(SameSettings(Current(), opened));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigDialogTest, OnlyAChangeNotificationRechecksThePattern) {
  InForce(RarevDefaults());
  Configure([](DialogUser& user) {
    ASSERT_TRUE(SetDlgItemTextA(user.Window(), IDC_MESSAGE, "untouched"));
    ASSERT_TRUE(user.SendCommand(IDC_PATTERN1, 0x0100));  // EN_SETFOCUS
    EXPECT_EQ(user.Text(IDC_MESSAGE), "untouched");
    ASSERT_TRUE(user.SendCommand(IDC_PATTERN1, EN_CHANGE));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(user.Click(IDCANCEL));
  });
}

TEST_F(ConfigDialogTest, DialogKeepsThePatternRadiosExclusive) {
  InForce(RarevDefaults());
  Configure([](DialogUser& user) {
    ASSERT_TRUE(user.Type(IDC_PATTERN2, "<len>"));
    ASSERT_TRUE(user.Click(IDC_SELECT_PATTERN2));
    EXPECT_EQ(user.CheckState(IDC_SELECT_PATTERN1), BST_UNCHECKED);
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(user.IsEnabled(IDOK));

    ASSERT_TRUE(user.Type(IDC_PATTERN2, "LEN=<len>,<start>,<vars>,<body>,<flag>,<attr>"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDOK));
  });
  const Settings now = Current();
  EXPECT_EQ(now.ParamsPatternN, 2);
  EXPECT_STREQ(now.ParamsPattern2, "LEN=<len>,<start>,<vars>,<body>,<flag>,<attr>");
  EXPECT_STREQ(now.FileNamingMode.CompiledParamsPattern, "LEN=\1,\2,\3,\4,\5,\6");
  EXPECT_STREQ(now.ParamsPattern1, DefaultSettings().ParamsPattern1);
}

TEST_F(ConfigDialogTest, DialogKeepsTheGapRadiosExclusive) {
  InForce(RarevDefaults());
  Configure([](DialogUser& user) {
    ASSERT_TRUE(user.Click(IDC_GAP_FIXED_FONT));
    ASSERT_TRUE(user.Click(IDC_GAP_VARIABLE_FONT));
    EXPECT_EQ(user.CheckState(IDC_GAP_ALIGNED), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_VARIABLE_FONT), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_FIXED_FONT), BST_UNCHECKED);
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDOK));
  });
  EXPECT_EQ(Current().FileNamingMode.ParamsGap, 2);
}

TEST_F(ConfigDialogTest, GapOutOfRangeSelectsNoRadioAndIsStoredAsOne) {
  Settings s = DefaultSettings();
  s.FileNamingMode.ParamsGap = 7;
  InForce(s);
  Configure([](DialogUser& user) {
    EXPECT_EQ(user.CheckState(IDC_GAP_ALIGNED), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_VARIABLE_FONT), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_GAP_FIXED_FONT), BST_UNCHECKED);
    EXPECT_TRUE(user.Click(IDOK));
  });
  EXPECT_EQ(Current().FileNamingMode.ParamsGap, 1);
  EXPECT_EQ(Reloaded().FileNamingMode.ParamsGap, 1);
}

TEST_F(ConfigDialogTest, SeparatorIsShownButCannotBeTypedInto) {
  Settings s = DefaultSettings();
  SetText(s.FileNameNumberingSeparator, "12345678");
  InForce(s);
  Configure([](DialogUser& user) {
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "12345678");
    EXPECT_FALSE(user.Type(IDC_SEPARATOR, "_"));
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "12345678");
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(user.Click(IDOK));
  });
  EXPECT_STREQ(Current().FileNameNumberingSeparator, "12345678");
  EXPECT_STREQ(Reloaded().FileNameNumberingSeparator, "12345678");
}

TEST_F(ConfigDialogTest, CancelAndTheCloseBoxChangeNothing) {
  const Settings before = Current();
  const auto changeEverything = [](DialogUser& user) {
    ASSERT_TRUE(user.Click(IDC_NUMBERING_NONE));
    ASSERT_TRUE(user.Click(IDC_EXTRACT_HOBETA));
    ASSERT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    ASSERT_TRUE(user.Click(IDC_SELECT_PATTERN2));
    ASSERT_TRUE(user.Type(IDC_PATTERN1, "x<len><start><vars><body><flag><attr>"));
  };
  Configure([&](DialogUser& user) {
    changeEverything(user);
    EXPECT_TRUE(user.Click(IDCANCEL));
  });
  Configure([&](DialogUser& user) {
    changeEverything(user);
    EXPECT_TRUE(user.Close());
  });
  EXPECT_TRUE(SameSettings(Current(), before));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigDialogTest, OkPutsTheEditInForceAndWritesTheFile) {
  const Settings before = Current();
  Configure([](DialogUser& user) {
    ASSERT_TRUE(user.Click(IDC_NUMBERING_NONE));
    ASSERT_TRUE(user.Click(IDC_EXTRACT_HOBETA));
    ASSERT_TRUE(user.Click(IDC_SMART_LENGTH));
    EXPECT_TRUE(user.Click(IDOK));
  });
  const Settings after = Current();
  EXPECT_EQ(after.FileNameNumbering, 0);
  EXPECT_TRUE(after.ExtractHobeta);
  EXPECT_FALSE(after.SmartLenDetect);
  // A copy taken before, as an open archive holds one, keeps its values.
  EXPECT_EQ(before.FileNameNumbering, 2);
  EXPECT_FALSE(before.ExtractHobeta);
  EXPECT_TRUE(before.SmartLenDetect);
  ASSERT_TRUE(ConfigWritten());
  EXPECT_TRUE(SameSettings(Reloaded(), after));
}

TEST_F(ConfigDialogTest, WithoutAUserNothingChanges) {
  const Settings before = Current();
  ConfigurePacker(HostWindow, PluginInstance);
  EXPECT_TRUE(SameSettings(Current(), before));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigDialogTest, AboutShowsTheBannerAndTheConfigurationPath) {
  Configure([](DialogUser& settings) {
    platform_test::ScriptDialog([&](DialogUser& about) {
      EXPECT_EQ(about.ResourceId(), IDD_ABOUT);
      EXPECT_EQ(about.Caption(), "About Doved");
      EXPECT_EQ(about.Text(IDC_ABOUT_TEXT), AboutBanner);
      EXPECT_EQ(about.Text(IDC_ABOUT_TEXT).rfind("Doved " DOVED_VERSION "\n", 0), 0u);
      EXPECT_EQ(about.Text(IDC_CONFIG_PATH), ConfigFilePath);
      EXPECT_FALSE(about.Type(IDC_CONFIG_PATH, "elsewhere"));
      // The settings dialog waits behind it.
      EXPECT_FALSE(settings.Click(IDCANCEL));
      EXPECT_TRUE(about.Click(IDOK));
    });
    ASSERT_TRUE(settings.Click(IDC_ABOUT_BUTTON));
    EXPECT_TRUE(settings.IsOpen());
    // The close box ends it too.
    platform_test::ScriptDialog([](DialogUser& about) { EXPECT_TRUE(about.Close()); });
    ASSERT_TRUE(settings.Click(IDC_ABOUT_BUTTON));
    EXPECT_TRUE(settings.IsOpen());
    EXPECT_EQ(settings.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(settings.Click(IDOK));
  });
  EXPECT_TRUE(ConfigWritten());
}

TEST_F(ConfigDialogTest, TemplatesHoldTheControlsInTabOrder) {
  Configure([](DialogUser& settings) {
    const std::vector<int> settingsIds = {
        IDC_STATIC,          IDOK,            IDCANCEL,           IDC_MESSAGE,          IDC_STATIC,
        IDC_RAREV_COMPATIBLE, IDC_STATIC,     IDC_STATIC,         IDC_NUMBERING_NONE,   IDC_NUMBERING_HEX,
        IDC_NUMBERING_DEC,   IDC_STATIC,      IDC_SEPARATOR,      IDC_EXTRACT_HOBETA,   IDC_DETECT_HOBETA,
        IDC_SMART_LENGTH,    IDC_STATIC,      IDC_PARAMS_IN_DECIMAL, IDC_STATIC,        IDC_PATTERN1,
        IDC_PATTERN2,        IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2, IDC_STATIC,      IDC_GAP_ALIGNED,
        IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT, IDC_ABOUT_BUTTON};
    EXPECT_EQ(settings.ControlIds(), settingsIds);
    platform_test::ScriptDialog([](DialogUser& about) {
      const std::vector<int> aboutIds = {IDC_STATIC, IDOK, IDC_ABOUT_TEXT, IDC_STATIC, IDC_CONFIG_PATH};
      EXPECT_EQ(about.ControlIds(), aboutIds);
    });
    ASSERT_TRUE(settings.Click(IDC_ABOUT_BUTTON));
    EXPECT_TRUE(settings.Click(IDCANCEL));
  });
}

}  // namespace
