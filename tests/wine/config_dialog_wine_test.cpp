// The settings and About dialogs of the Windows build, opened through
// ConfigurePacker under Wine and worked through messages to their controls,
// as a user works them; each state is kept as a screenshot.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "settings/dialog_controls.h"
#include "wine/dialog_driver.h"

namespace {

constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";
constexpr char InvalidNotice[] = "\nInvalid file name pattern!";
constexpr char ValidPattern[] = "<len><start><vars><body><flag><attr>";
constexpr char InvalidPattern[] = "<len>.<start><vars><body><flag><attr>";

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ConfigDialogUnderWine : public ::testing::Test {
 protected:
  std::string WorkDirectory() const {
    return std::string(DOVED_WINE_WORK_DIR) + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
};

TEST_F(ConfigDialogUnderWine, RarevModeDisablesNumberingAndHobetaExtraction) {
  LoadedPlugin plugin(WorkDirectory(), "");
  ASSERT_TRUE(plugin.IsLoaded());
  const bool shown = plugin.Configure([](HWND dialog) {
    EXPECT_TRUE(SaveScreenshot(dialog, "config-opened"));
    EXPECT_TRUE(IsEnabled(dialog, IDC_NUMBERING_DEC));
    EXPECT_TRUE(IsEnabled(dialog, IDC_EXTRACT_HOBETA));
    EXPECT_FALSE(IsEnabled(dialog, IDC_PATTERN1));
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), "");

    Click(dialog, IDC_RAREV_COMPATIBLE);
    EXPECT_TRUE(IsChecked(dialog, IDC_RAREV_COMPATIBLE));
    for (const int id : {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC, IDC_EXTRACT_HOBETA}) {
      EXPECT_FALSE(IsEnabled(dialog, id)) << "control " << id;
    }
    EXPECT_TRUE(IsEnabled(dialog, IDC_PATTERN1));
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(IsEnabled(dialog, IDOK));
    EXPECT_TRUE(SaveScreenshot(dialog, "config-rarev"));
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(GetFileAttributesA(plugin.ConfigPath().c_str()), INVALID_FILE_ATTRIBUTES) << "Cancel wrote Doved.cfg";
}

TEST_F(ConfigDialogUnderWine, AnInvalidPatternIsNamedAndOkIsDisabled) {
  LoadedPlugin plugin(WorkDirectory(), "RarevCompatible=1\r\n");
  ASSERT_TRUE(plugin.IsLoaded());
  const bool shown = plugin.Configure([](HWND dialog) {
    ASSERT_TRUE(IsChecked(dialog, IDC_RAREV_COMPATIBLE));
    Type(dialog, IDC_PATTERN1, InvalidPattern);
    EXPECT_EQ(Text(dialog, IDC_PATTERN1), InvalidPattern);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), InvalidNotice);
    EXPECT_FALSE(IsEnabled(dialog, IDOK));
    EXPECT_TRUE(SaveScreenshot(dialog, "config-invalid-pattern"));

    Type(dialog, IDC_PATTERN1, ValidPattern);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(IsEnabled(dialog, IDOK));
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(shown);
}

TEST_F(ConfigDialogUnderWine, OkWritesTheChangesIntoDovedCfg) {
  LoadedPlugin plugin(WorkDirectory(), "");
  ASSERT_TRUE(plugin.IsLoaded());
  const bool shown = plugin.Configure([](HWND dialog) {
    Click(dialog, IDC_NUMBERING_HEX);
    Click(dialog, IDC_EXTRACT_HOBETA);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), RestartNotice);
    Click(dialog, IDOK);
  });
  EXPECT_TRUE(shown);
  const std::string saved = FileText(plugin.ConfigPath());
  EXPECT_NE(saved.find("[Doved]"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FileNameNumbering=1\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("ExtractHobeta=1\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("RarevCompatible=0\r\n"), std::string::npos) << saved;
}

TEST_F(ConfigDialogUnderWine, AboutShowsTheBannerAndWhereTheSettingsLive) {
  LoadedPlugin plugin(WorkDirectory(), "");
  ASSERT_TRUE(plugin.IsLoaded());
  const std::string configPath = plugin.ConfigPath();
  const bool shown = plugin.Configure([&](HWND dialog) {
    // Posted: the About box is modal and keeps the button's click open.
    PostMessageA(GetDlgItem(dialog, IDC_ABOUT_BUTTON), BM_CLICK, 0, 0);
    HWND about = WaitForDialog(DOVED_ABOUT_CAPTION);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about, IDC_ABOUT_TEXT).rfind("Doved " DOVED_VERSION "\n", 0), 0u) << Text(about, IDC_ABOUT_TEXT);
    EXPECT_NE(Text(about, IDC_ABOUT_TEXT).find("Made by the Doved project"), std::string::npos);
    EXPECT_EQ(lstrcmpiA(Text(about, IDC_CONFIG_PATH).c_str(), configPath.c_str()), 0)
        << Text(about, IDC_CONFIG_PATH) << " is not " << configPath;
    EXPECT_TRUE(SaveScreenshot(about, "about"));
    Click(about, IDOK);
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(shown);
}

}  // namespace
