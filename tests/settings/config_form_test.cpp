// The settings form as a user works it: opened on the settings in force,
// boxes ticked, radio buttons selected, patterns typed, then OK or Cancel,
// with OK's settings confirmed as ConfigurePacker confirms them.
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "helpers/settings_fixture.h"
#include "settings/config_form.h"
#include "settings/dialog_controls.h"
#include "settings/params_pattern.h"

namespace {

constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";
constexpr char InvalidNotice[] = "\nInvalid file name pattern!";

constexpr int NumberingRadios[] = {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC};
constexpr int BsDosOptions[] = {IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2, IDC_PATTERN1,        IDC_PATTERN2,
                                IDC_PARAMS_IN_DECIMAL, IDC_GAP_ALIGNED,   IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT};

FormControlKind KindOf(int id) {
  for (const FormControl& control : ConfigForm::Controls()) {
    if (control.id == id) return control.kind;
  }
  ADD_FAILURE() << "no control " << id;
  return FormControlKind::Notice;
}

// The user in front of the form, who can act only on controls that are
// enabled, as a window system lets them.
class User {
 public:
  explicit User(ConfigForm& form) : form(form) {}

  std::string Text(int id) const { return form.Text(id); }
  bool IsTicked(int id) const { return form.IsTicked(id); }
  bool IsEnabled(int id) const { return form.IsEnabled(id); }
  bool IsOpen() const { return form.IsOpen(); }

  // A check box toggles, a radio button is selected, OK and Cancel are pressed.
  bool Click(int id) {
    if (!form.IsOpen() || !form.IsEnabled(id)) return false;
    switch (KindOf(id)) {
      case FormControlKind::CheckBox:
        return form.Tick(id, !form.IsTicked(id));
      case FormControlKind::RadioButton:
        return form.Select(id);
      case FormControlKind::PushButton:
        if (id == IDC_OK) {
          accepted = form.PressOk();
          return accepted.has_value();
        }
        if (id == IDC_CANCEL) return Close();
        return false;
      default:
        return false;
    }
  }
  bool Type(int id, const char* text) { return form.IsOpen() && form.IsEnabled(id) && form.Type(id, text); }
  // The close box, which is Cancel.
  bool Close() {
    if (!form.IsOpen()) return false;
    form.PressCancel();
    return true;
  }

  ConfigForm& form;
  std::optional<Settings> accepted;
};

class ConfigFormTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    InForce(DefaultSettings());
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

  // The form opened on the settings in force and worked by `script`; what
  // OK accepted is confirmed.
  static void Configure(const std::function<void(User&)>& script) {
    Settings opened;
    ConfigForm form(GetSettings(opened));
    User user(form);
    script(user);
    if (user.accepted) ConfirmSettings(*user.accepted);
  }

  bool ConfigWritten() const { return std::filesystem::exists(config); }

  // What the file holds, loaded over the defaults.
  static Settings Reloaded() {
    InForce(DefaultSettings());
    return LoadSettings();
  }
};

template <std::size_t N>
void ExpectEnabled(const User& user, const int (&ids)[N], bool enabled) {
  for (const int id : ids) EXPECT_EQ(user.IsEnabled(id), enabled) << "control " << id;
}

TEST_F(ConfigFormTest, OkWithoutChangesWritesTheSameSettingsAnew) {
  const Settings before = Current();
  Configure([](User& user) {
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(user.IsEnabled(IDC_OK));
    EXPECT_TRUE(user.Click(IDC_OK));
    EXPECT_FALSE(user.IsOpen());
  });
  EXPECT_TRUE(SameSettings(Current(), before));
  ASSERT_TRUE(ConfigWritten());
  EXPECT_TRUE(SameSettings(Reloaded(), before));
}

TEST_F(ConfigFormTest, ControlsShowTheSettingsInForce) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = Numbering::Hex;
  SetText(s.FileNameNumberingSeparator, "-=-");
  s.SmartLenDetect = false;
  s.ExtractHobeta = true;
  s.FileNamingMode.ParamsInDecimal = 2;  // any byte but 0 is ticked, and unchanged
  s.FileNamingMode.ParamsGap = GapMode::FixedFont;
  s.ParamsPatternN = 2;
  SetText(s.ParamsPattern1, "A<len><start><vars><body><flag><attr>");
  SetText(s.ParamsPattern2, "<len>-<start>-<vars>-<body>-<flag>-<attr>");
  const Settings opened = InForce(s);
  Configure([](User& user) {
    EXPECT_FALSE(user.IsTicked(IDC_RAREV_COMPATIBLE));
    EXPECT_FALSE(user.IsTicked(IDC_NUMBERING_NONE));
    EXPECT_TRUE(user.IsTicked(IDC_NUMBERING_HEX));
    EXPECT_FALSE(user.IsTicked(IDC_NUMBERING_DEC));
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "-=-");
    EXPECT_FALSE(user.IsTicked(IDC_SMART_LENGTH));
    EXPECT_TRUE(user.IsTicked(IDC_DETECT_HOBETA));
    EXPECT_TRUE(user.IsTicked(IDC_EXTRACT_HOBETA));
    EXPECT_TRUE(user.IsTicked(IDC_PARAMS_IN_DECIMAL));
    EXPECT_FALSE(user.IsTicked(IDC_GAP_ALIGNED));
    EXPECT_FALSE(user.IsTicked(IDC_GAP_VARIABLE_FONT));
    EXPECT_TRUE(user.IsTicked(IDC_GAP_FIXED_FONT));
    EXPECT_FALSE(user.IsTicked(IDC_SELECT_PATTERN1));
    EXPECT_TRUE(user.IsTicked(IDC_SELECT_PATTERN2));
    EXPECT_EQ(user.Text(IDC_PATTERN1), "A<len><start><vars><body><flag><attr>");
    EXPECT_EQ(user.Text(IDC_PATTERN2), "<len>-<start>-<vars>-<body>-<flag>-<attr>");
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    // Outside the Rarev-compatible mode the TR-DOS options are live and the BS-DOS ones are not.
    ExpectEnabled(user, NumberingRadios, true);
    EXPECT_TRUE(user.IsEnabled(IDC_EXTRACT_HOBETA));
    EXPECT_TRUE(user.IsEnabled(IDC_SMART_LENGTH));
    ExpectEnabled(user, BsDosOptions, false);
    EXPECT_TRUE(user.Click(IDC_CANCEL));
  });
  EXPECT_TRUE(SameSettings(Current(), opened));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigFormTest, RarevCompatibleSwapsTheOptionGroupsAndAsksForARestart) {
  Configure([](User& user) {
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

TEST_F(ConfigFormTest, RestartNoticeFollowsWhatRenamesEntries) {
  Configure([](User& user) {
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
    EXPECT_TRUE(user.Click(IDC_CANCEL));
  });
}

TEST_F(ConfigFormTest, ParametersInDecimalAsksForARestart) {
  InForce(RarevDefaults());
  Configure([](User& user) {
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    ASSERT_TRUE(user.Click(IDC_PARAMS_IN_DECIMAL));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_EQ(Current().FileNamingMode.ParamsInDecimal, 1);
}

TEST_F(ConfigFormTest, PatternIsCheckedAsItIsTyped) {
  const Settings opened = InForce(RarevDefaults());
  Configure([](User& user) {
    // The pattern that is not selected may hold anything.
    ASSERT_TRUE(user.Type(IDC_PATTERN2, "not a pattern"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(user.IsEnabled(IDC_OK));

    ASSERT_TRUE(user.Type(IDC_PATTERN1, "<len><start><vars><body><flag><attr>"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.IsEnabled(IDC_OK));

    ASSERT_TRUE(user.Type(IDC_PATTERN1, "<len>.<start><vars><body><flag><attr>"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(user.IsEnabled(IDC_OK));
    EXPECT_FALSE(user.Click(IDC_OK));
    // An OK that arrives anyway, from the keyboard, is ignored.
    EXPECT_FALSE(user.form.PressOk().has_value());
    EXPECT_TRUE(user.IsOpen());

    ASSERT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(user.IsEnabled(IDC_OK));
    EXPECT_TRUE(user.Close());
  });
  EXPECT_TRUE(SameSettings(Current(), opened));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigFormTest, PatternEditsTakeAtMost199Characters) {
  InForce(RarevDefaults());
  Configure([](User& user) {
    EXPECT_EQ(user.form.TextLimit(IDC_PATTERN1), 199u);
    EXPECT_EQ(user.form.TextLimit(IDC_PATTERN2), 199u);
    EXPECT_EQ(user.form.TextLimit(IDC_SEPARATOR), 8u);
    // Literal characters and the six tags fill the edit exactly.
    const std::string tags = "<len><start><vars><body><flag><attr>";
    const std::string full = std::string(199 - tags.size(), 'x') + tags;
    ASSERT_TRUE(user.Type(IDC_PATTERN1, full.c_str()));
    EXPECT_EQ(user.Text(IDC_PATTERN1), full);
    EXPECT_TRUE(user.IsEnabled(IDC_OK));
    // One character more and the last one, the closing '>', is lost.
    ASSERT_TRUE(user.Type(IDC_PATTERN1, ("x" + full).c_str()));
    EXPECT_EQ(user.Text(IDC_PATTERN1), ("x" + full).substr(0, 199));
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    ASSERT_TRUE(user.Type(IDC_PATTERN1, full.c_str()));
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_EQ(std::strlen(Current().ParamsPattern1), 199u);
  EXPECT_EQ(std::strlen(Reloaded().ParamsPattern1), 199u);
}

TEST_F(ConfigFormTest, FormKeepsThePatternRadiosExclusive) {
  InForce(RarevDefaults());
  Configure([](User& user) {
    ASSERT_TRUE(user.Type(IDC_PATTERN2, "<len>"));
    ASSERT_TRUE(user.Click(IDC_SELECT_PATTERN2));
    EXPECT_FALSE(user.IsTicked(IDC_SELECT_PATTERN1));
    EXPECT_EQ(user.Text(IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(user.IsEnabled(IDC_OK));

    ASSERT_TRUE(user.Type(IDC_PATTERN2, "LEN=<len>,<start>,<vars>,<body>,<flag>,<attr>"));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  const Settings now = Current();
  EXPECT_EQ(now.ParamsPatternN, 2);
  EXPECT_STREQ(now.ParamsPattern2, "LEN=<len>,<start>,<vars>,<body>,<flag>,<attr>");
  EXPECT_STREQ(now.FileNamingMode.CompiledParamsPattern, "LEN=\1,\2,\3,\4,\5,\6");
  EXPECT_STREQ(now.ParamsPattern1, DefaultSettings().ParamsPattern1);
}

TEST_F(ConfigFormTest, FormKeepsTheGapRadiosExclusive) {
  InForce(RarevDefaults());
  Configure([](User& user) {
    ASSERT_TRUE(user.Click(IDC_GAP_FIXED_FONT));
    ASSERT_TRUE(user.Click(IDC_GAP_VARIABLE_FONT));
    EXPECT_FALSE(user.IsTicked(IDC_GAP_ALIGNED));
    EXPECT_TRUE(user.IsTicked(IDC_GAP_VARIABLE_FONT));
    EXPECT_FALSE(user.IsTicked(IDC_GAP_FIXED_FONT));
    EXPECT_EQ(user.Text(IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_EQ(Current().FileNamingMode.ParamsGap, GapMode::VariableFont);
}

TEST_F(ConfigFormTest, FormKeepsTheNumberingRadiosExclusive) {
  Configure([](User& user) {
    ASSERT_TRUE(user.Click(IDC_NUMBERING_NONE));
    EXPECT_TRUE(user.IsTicked(IDC_NUMBERING_NONE));
    EXPECT_FALSE(user.IsTicked(IDC_NUMBERING_HEX));
    EXPECT_FALSE(user.IsTicked(IDC_NUMBERING_DEC));
    ASSERT_TRUE(user.Click(IDC_NUMBERING_HEX));
    EXPECT_FALSE(user.IsTicked(IDC_NUMBERING_NONE));
    EXPECT_TRUE(user.IsTicked(IDC_NUMBERING_HEX));
    // The other sets are left alone.
    EXPECT_TRUE(user.IsTicked(IDC_SELECT_PATTERN1));
    EXPECT_TRUE(user.IsTicked(IDC_GAP_ALIGNED));
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_EQ(Current().FileNameNumbering, Numbering::Hex);
}

TEST_F(ConfigFormTest, GapOutOfRangeSelectsNoRadioAndIsStoredAsOne) {
  Settings s = DefaultSettings();
  s.FileNamingMode.ParamsGap = static_cast<GapMode>(7);
  InForce(s);
  Configure([](User& user) {
    EXPECT_FALSE(user.IsTicked(IDC_GAP_ALIGNED));
    EXPECT_FALSE(user.IsTicked(IDC_GAP_VARIABLE_FONT));
    EXPECT_FALSE(user.IsTicked(IDC_GAP_FIXED_FONT));
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_EQ(Current().FileNamingMode.ParamsGap, GapMode::Aligned);
  EXPECT_EQ(Reloaded().FileNamingMode.ParamsGap, GapMode::Aligned);
}

TEST_F(ConfigFormTest, NumberingOutOfRangeSelectsNoRadioAndIsStoredAsNone) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = static_cast<Numbering>(5);
  InForce(s);
  Configure([](User& user) {
    for (const int id : NumberingRadios) EXPECT_FALSE(user.IsTicked(id)) << "control " << id;
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_EQ(Current().FileNameNumbering, Numbering::None);
}

TEST_F(ConfigFormTest, SeparatorIsShownButCannotBeTypedInto) {
  Settings s = DefaultSettings();
  SetText(s.FileNameNumberingSeparator, "12345678");
  InForce(s);
  Configure([](User& user) {
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "12345678");
    EXPECT_FALSE(user.Type(IDC_SEPARATOR, "_"));
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "12345678");
    EXPECT_EQ(user.Text(IDC_MESSAGE), "");
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  EXPECT_STREQ(Current().FileNameNumberingSeparator, "12345678");
  EXPECT_STREQ(Reloaded().FileNameNumberingSeparator, "12345678");
}

TEST_F(ConfigFormTest, CancelAndTheCloseBoxChangeNothing) {
  const Settings before = Current();
  const auto changeEverything = [](User& user) {
    ASSERT_TRUE(user.Click(IDC_NUMBERING_NONE));
    ASSERT_TRUE(user.Click(IDC_EXTRACT_HOBETA));
    ASSERT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    ASSERT_TRUE(user.Click(IDC_SELECT_PATTERN2));
    ASSERT_TRUE(user.Type(IDC_PATTERN1, "x<len><start><vars><body><flag><attr>"));
  };
  Configure([&](User& user) {
    changeEverything(user);
    EXPECT_TRUE(user.Click(IDC_CANCEL));
    EXPECT_FALSE(user.IsOpen());
  });
  Configure([&](User& user) {
    changeEverything(user);
    EXPECT_TRUE(user.Close());
  });
  EXPECT_TRUE(SameSettings(Current(), before));
  EXPECT_FALSE(ConfigWritten());
}

TEST_F(ConfigFormTest, OkPutsTheEditInForceAndWritesTheFile) {
  const Settings before = Current();
  Configure([](User& user) {
    ASSERT_TRUE(user.Click(IDC_NUMBERING_NONE));
    ASSERT_TRUE(user.Click(IDC_EXTRACT_HOBETA));
    ASSERT_TRUE(user.Click(IDC_SMART_LENGTH));
    EXPECT_TRUE(user.Click(IDC_OK));
  });
  const Settings after = Current();
  EXPECT_EQ(after.FileNameNumbering, Numbering::None);
  EXPECT_TRUE(after.ExtractHobeta);
  EXPECT_FALSE(after.SmartLenDetect);
  // A copy taken before, as an open archive holds one, keeps its values.
  EXPECT_EQ(before.FileNameNumbering, Numbering::Dec);
  EXPECT_FALSE(before.ExtractHobeta);
  EXPECT_TRUE(before.SmartLenDetect);
  ASSERT_TRUE(ConfigWritten());
  EXPECT_TRUE(SameSettings(Reloaded(), after));
}

TEST_F(ConfigFormTest, ActionsApplyOnlyToTheirKindOfControlAndOnlyWhileOpen) {
  InForce(RarevDefaults());
  Settings opened;
  ConfigForm form(GetSettings(opened));
  EXPECT_FALSE(form.Tick(IDC_SELECT_PATTERN2, true));
  EXPECT_FALSE(form.Tick(IDC_OK, true));
  EXPECT_FALSE(form.Select(IDC_RAREV_COMPATIBLE));
  EXPECT_FALSE(form.Type(IDC_MESSAGE, "typed"));
  EXPECT_FALSE(form.Type(IDC_RAREV_COMPATIBLE, "typed"));
  EXPECT_FALSE(form.Tick(IDC_STATIC, true));
  EXPECT_TRUE(form.IsTicked(IDC_SELECT_PATTERN1));
  EXPECT_FALSE(form.IsTicked(IDC_SELECT_PATTERN2));
  EXPECT_EQ(std::string(form.Text(IDC_MESSAGE)), "");

  form.PressCancel();
  EXPECT_FALSE(form.Tick(IDC_RAREV_COMPATIBLE, false));
  EXPECT_FALSE(form.Select(IDC_SELECT_PATTERN2));
  EXPECT_FALSE(form.Type(IDC_PATTERN1, "<len><start><vars><body><flag><attr>"));
  EXPECT_FALSE(form.PressOk().has_value());
  EXPECT_TRUE(form.IsTicked(IDC_RAREV_COMPATIBLE));
  EXPECT_TRUE(form.IsTicked(IDC_SELECT_PATTERN1));
  EXPECT_STREQ(form.Text(IDC_PATTERN1), opened.ParamsPattern1);
}

TEST_F(ConfigFormTest, ReadControlsOverlaysTheOpenedSettings) {
  Settings s = RarevDefaults();
  s.FileNamingMode.reserved[0] = 0x5A;  // no control shows it: carried through
  InForce(s);
  Settings opened;
  ConfigForm form(GetSettings(opened));
  ASSERT_TRUE(form.Select(IDC_SELECT_PATTERN2));
  ASSERT_TRUE(form.Type(IDC_PATTERN1, "<len>"));
  Settings read;
  form.ReadControls(read);
  EXPECT_EQ(read.FileNamingMode.reserved[0], 0x5A);
  EXPECT_EQ(read.ParamsPatternN, 2);
  EXPECT_STREQ(read.ParamsPattern1, "<len>");
  // Compiled from the selected pattern, not from the one typed into.
  char expected[PatternSize];
  ASSERT_TRUE(CompileParamsPattern(DefaultSettings().ParamsPattern2, expected));
  EXPECT_STREQ(read.FileNamingMode.CompiledParamsPattern, expected);
  EXPECT_TRUE(form.IsPatternValid(&read));
  EXPECT_TRUE(form.IsPatternValid(nullptr));
  read.FileNamingMode.CompiledParamsPattern[0] = '\0';
  EXPECT_FALSE(form.IsPatternValid(&read));
  // The form's own record is the one it opened with until OK.
  EXPECT_EQ(form.Opened().ParamsPatternN, 1);
}

// The controls of the form are those of the dialog template, with the
// window class that fits each kind.
TEST(ConfigFormControlsTest, FormHasAStateForEveryControlOfTheTemplate) {
  struct Row {
    int id;
    std::string windowClass;
  };
#define DOVED_TEMPLATE_ROW(kind, id, windowClass, text, style, x, y, width, height) {id, windowClass},
  const std::vector<Row> rows = {DOVED_CONFIG_CONTROLS(DOVED_TEMPLATE_ROW)};
#undef DOVED_TEMPLATE_ROW
  std::vector<int> templateIds;
  for (const Row& row : rows) {
    if (row.id != IDC_STATIC) templateIds.push_back(row.id);
  }
  std::vector<int> formIds;
  for (const FormControl& control : ConfigForm::Controls()) {
    formIds.push_back(control.id);
    std::string expectedClass = "Button";
    if (control.kind == FormControlKind::Edit || control.kind == FormControlKind::ReadOnlyEdit) expectedClass = "Edit";
    if (control.kind == FormControlKind::Notice) expectedClass = "Static";
    for (const Row& row : rows) {
      if (row.id == control.id) {
        EXPECT_EQ(row.windowClass, expectedClass) << "control " << control.id;
      }
    }
  }
  EXPECT_EQ(formIds, templateIds);
}

TEST_F(ConfigFormTest, AboutShowsTheBannerAndTheConfigurationPath) {
  EXPECT_STREQ(AboutText(IDC_ABOUT_TEXT), AboutBanner);
  EXPECT_EQ(std::string(AboutText(IDC_ABOUT_TEXT)).rfind("Doved " DOVED_VERSION "\n", 0), 0u);
  EXPECT_STREQ(AboutText(IDC_CONFIG_PATH), ConfigFilePath);
  EXPECT_STREQ(AboutText(IDC_CONFIG_PATH), config.c_str());
  EXPECT_STREQ(AboutText(IDC_MESSAGE), "");
}

}  // namespace
