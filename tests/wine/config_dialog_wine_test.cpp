// The settings and About dialogs of the Windows build, opened through
// ConfigurePacker under Wine and worked through messages to their controls,
// as a user works them; each state is kept as a screenshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/dialog_controls.h"
#include "wine/dialog_driver.h"

namespace {

constexpr char RestartNotice[] = "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";
constexpr char InvalidNotice[] = "\nInvalid file name pattern!";
constexpr char ValidPattern[] = "<len><start><vars><body><flag><attr>";
constexpr char InvalidPattern[] = "<len>.<start><vars><body><flag><attr>";

std::string FileText(const std::string& path) {
  std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ConfigDialogUnderWine : public ::testing::Test {
 protected:
  // One directory per test; a parameterised test's name has a '/' in it.
  std::string WorkDirectory() const {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) {
      if (c == '/') c = '-';
    }
    return std::string(DOVED_WINE_WORK_DIR) + "/" + name;
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
    // An OK that arrives anyway, from the keyboard, is ignored.
    SendCommand(dialog, IDOK, BN_CLICKED);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), InvalidNotice);

    Type(dialog, IDC_PATTERN1, ValidPattern);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(IsEnabled(dialog, IDOK));
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(FileText(plugin.ConfigPath()), "[Doved]\r\nRarevCompatible=1\r\n");
}

TEST_F(ConfigDialogUnderWine, OnlyAChangeNotificationRechecksThePattern) {
  LoadedPlugin plugin(WorkDirectory(), "RarevCompatible=1\r\n");
  ASSERT_TRUE(plugin.IsLoaded());
  const bool shown = plugin.Configure([](HWND dialog) {
    ASSERT_TRUE(SetDlgItemTextA(dialog, IDC_MESSAGE, "untouched"));
    SendCommand(dialog, IDC_PATTERN1, EN_SETFOCUS);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), "untouched");
    SendCommand(dialog, IDC_PATTERN1, EN_CHANGE);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), "");
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(shown);
}

// Each pattern and gap radio button starts a group of its own: the dialog,
// not the system, clears the others.
TEST_F(ConfigDialogUnderWine, PatternAndGapRadiosStayExclusive) {
  LoadedPlugin plugin(WorkDirectory(), "RarevCompatible=1\r\n");
  ASSERT_TRUE(plugin.IsLoaded());
  const bool shown = plugin.Configure([](HWND dialog) {
    ASSERT_TRUE(IsChecked(dialog, IDC_SELECT_PATTERN1));
    Click(dialog, IDC_SELECT_PATTERN2);
    EXPECT_FALSE(IsChecked(dialog, IDC_SELECT_PATTERN1));
    EXPECT_TRUE(IsChecked(dialog, IDC_SELECT_PATTERN2));
    Click(dialog, IDC_GAP_FIXED_FONT);
    Click(dialog, IDC_GAP_VARIABLE_FONT);
    EXPECT_FALSE(IsChecked(dialog, IDC_GAP_ALIGNED));
    EXPECT_TRUE(IsChecked(dialog, IDC_GAP_VARIABLE_FONT));
    EXPECT_FALSE(IsChecked(dialog, IDC_GAP_FIXED_FONT));
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), RestartNotice);
    EXPECT_TRUE(SaveScreenshot(dialog, "config-pattern2-gap2"));
    Click(dialog, IDOK);
  });
  EXPECT_TRUE(shown);
  const std::string saved = FileText(plugin.ConfigPath());
  EXPECT_NE(saved.find("ParamsPatternN=2\r\n"), std::string::npos) << saved;
  // The group's version 6, decimal 0, two reserved bytes, then ParamsGap 2.
  EXPECT_NE(saved.find("FileNamingMode=0600000002000000"), std::string::npos) << saved;
}

TEST_F(ConfigDialogUnderWine, PatternEditsTake199CharactersAndTheSeparatorNone) {
  LoadedPlugin plugin(WorkDirectory(), "RarevCompatible=1\r\n");
  ASSERT_TRUE(plugin.IsLoaded());
  const bool shown = plugin.Configure([](HWND dialog) {
    Type(dialog, IDC_PATTERN2, std::string(250, 'x'));
    EXPECT_EQ(Text(dialog, IDC_PATTERN2), std::string(199, 'x'));
    const std::string separator = Text(dialog, IDC_SEPARATOR);
    EXPECT_EQ(separator, "!   ");
    Type(dialog, IDC_SEPARATOR, "_");
    EXPECT_EQ(Text(dialog, IDC_SEPARATOR), separator);
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), "");
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(shown);
}

TEST_F(ConfigDialogUnderWine, TemplatesHoldTheControlsInTabOrder) {
  LoadedPlugin plugin(WorkDirectory(), "");
  ASSERT_TRUE(plugin.IsLoaded());
  const auto idsOf = [](const DialogTemplate& dialog) {
    std::vector<int> ids;
    for (const TemplateControl& control : dialog.controls) ids.push_back(control.id);
    return ids;
  };
  const auto styleOf = [](const DialogTemplate& dialog, int id) {
    for (const TemplateControl& control : dialog.controls) {
      if (control.id == id) return control.style;
    }
    return LONG{0};
  };

  const DialogTemplate settings = ReadTemplate(plugin.Module(), IDD_CONFIG);
  ASSERT_TRUE(settings.found);
  EXPECT_EQ(settings.caption, "Doved config");
  const std::vector<int> settingsIds = {
      IDC_STATIC,          IDOK,            IDCANCEL,           IDC_MESSAGE,          IDC_STATIC,
      IDC_RAREV_COMPATIBLE, IDC_STATIC,     IDC_STATIC,         IDC_NUMBERING_NONE,   IDC_NUMBERING_HEX,
      IDC_NUMBERING_DEC,   IDC_STATIC,      IDC_SEPARATOR,      IDC_EXTRACT_HOBETA,   IDC_DETECT_HOBETA,
      IDC_SMART_LENGTH,    IDC_STATIC,      IDC_PARAMS_IN_DECIMAL, IDC_STATIC,        IDC_PATTERN1,
      IDC_PATTERN2,        IDC_SELECT_PATTERN1, IDC_SELECT_PATTERN2, IDC_STATIC,      IDC_GAP_ALIGNED,
      IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT, IDC_ABOUT_BUTTON};
  EXPECT_EQ(idsOf(settings), settingsIds);
  EXPECT_NE(styleOf(settings, IDC_SEPARATOR) & ES_READONLY, 0);

  const DialogTemplate about = ReadTemplate(plugin.Module(), IDD_ABOUT);
  ASSERT_TRUE(about.found);
  EXPECT_EQ(about.caption, "About Doved");
  const std::vector<int> aboutIds = {IDC_STATIC, IDOK, IDC_ABOUT_TEXT, IDC_STATIC, IDC_CONFIG_PATH};
  EXPECT_EQ(idsOf(about), aboutIds);
  EXPECT_NE(styleOf(about, IDC_CONFIG_PATH) & ES_READONLY, 0);
}

// How the user leaves the settings dialog.
enum class Leave { Ok, Cancel, CloseBox };

class NoticeFontUnderWine : public ConfigDialogUnderWine, public ::testing::WithParamInterface<Leave> {};

// The notice is drawn in a bold font of the dialog's own; when the dialog
// closes, the message control gets its own font back while the bold one
// still exists, and then the bold one is deleted.
TEST_P(NoticeFontUnderWine, BoldWhileOpenAndGoneWithTheDialog) {
  LoadedPlugin plugin(WorkDirectory(), "");
  ASSERT_TRUE(plugin.IsLoaded());
  HFONT bold = nullptr;
  HFONT dialogFont = nullptr;
  const bool shown = plugin.Configure([&](HWND dialog) {
    HWND notice = GetDlgItem(dialog, IDC_MESSAGE);
    bold = FontOf(notice);
    dialogFont = FontOf(dialog);
    EXPECT_NE(bold, dialogFont);
    const FontFacts facts = FactsOf(bold);
    EXPECT_EQ(facts.face, "MS Shell Dlg");
    EXPECT_EQ(facts.weight, FW_BOLD);
    EXPECT_EQ(FactsOf(dialogFont).weight, FW_NORMAL);
    WatchSetFont(notice, bold);
    switch (GetParam()) {
      case Leave::Ok:
        Click(dialog, IDOK);
        break;
      case Leave::Cancel:
        Click(dialog, IDCANCEL);
        break;
      case Leave::CloseBox:
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        break;
    }
  });
  ASSERT_TRUE(shown);
  const std::vector<SetFontCall> calls = WatchedSetFonts();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].font, dialogFont);
  EXPECT_TRUE(calls[0].watchedExisted) << "the bold font was deleted while the notice still used it";
  for (const SetFontCall& call : calls) EXPECT_EQ(call.font, dialogFont);
  EXPECT_FALSE(FontExists(bold)) << "the bold font outlived its dialog";
  const bool written = GetFileAttributesA(plugin.ConfigPath().c_str()) != INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(written, GetParam() == Leave::Ok);
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, NoticeFontUnderWine, ::testing::Values(Leave::Ok, Leave::Cancel, Leave::CloseBox),
                         [](const ::testing::TestParamInfo<Leave>& info) {
                           switch (info.param) {
                             case Leave::Ok:
                               return "Ok";
                             case Leave::Cancel:
                               return "Cancel";
                             default:
                               return "CloseBox";
                           }
                         });

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

// Loaded from a folder of Cyrillic, Greek, CJK and an emoji, the plug-in
// keeps its settings there, and About shows the whole path.
TEST_F(ConfigDialogUnderWine, AboutShowsASettingsPathOfAnyCharacters) {
  const std::string folder = WorkDirectory() + "\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B \xCE\xA0\xCE\xB1\xCE\xB9\xCF\x87\xCE\xBD\xCE\xAF\xCE\xB4\xCE\xB9\xCE\xB1 "
                             "\xE6\xB8\xB8\xE6\x88\xB2 \xF0\x9F\x8E\xAE";
  CreateDirectoryW(Wide(WorkDirectory()).c_str(), nullptr);
  LoadedPlugin plugin(folder, "ExtractHobeta=1\r\n");
  ASSERT_TRUE(plugin.IsLoaded());
  const std::string configPath = plugin.ConfigPath();
  EXPECT_TRUE(plugin.Configure([&](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, IDC_EXTRACT_HOBETA)) << "Doved.cfg in the folder was not read";
    PostMessageA(GetDlgItem(dialog, IDC_ABOUT_BUTTON), BM_CLICK, 0, 0);
    HWND about = WaitForDialog(DOVED_ABOUT_CAPTION);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(lstrcmpiW(Wide(Text(about, IDC_CONFIG_PATH)).c_str(), Wide(configPath).c_str()), 0)
        << Text(about, IDC_CONFIG_PATH) << " is not " << configPath;
    // The field shows the end of the path, where its Unicode folder is.
    HWND field = GetDlgItem(about, IDC_CONFIG_PATH);
    const LRESULT end = GetWindowTextLengthW(field);
    SendMessageW(field, EM_SETSEL, end, end);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
    EXPECT_TRUE(SaveScreenshot(about, "about-unicode-folder"));
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntilGone(about));
    Click(dialog, IDC_EXTRACT_HOBETA);
    Click(dialog, IDOK);
  }));
  EXPECT_NE(FileText(configPath).find("ExtractHobeta=0\r\n"), std::string::npos) << "OK wrote no Doved.cfg there";
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
    const std::string path = Text(about, IDC_CONFIG_PATH);
    Type(about, IDC_CONFIG_PATH, "elsewhere");
    EXPECT_EQ(Text(about, IDC_CONFIG_PATH), path);
    // The settings dialog waits behind it.
    EXPECT_FALSE(IsWindowEnabled(dialog));
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntilGone(about));
    EXPECT_TRUE(IsWindowEnabled(dialog));

    // The close box ends it too, and the settings dialog goes on.
    PostMessageA(GetDlgItem(dialog, IDC_ABOUT_BUTTON), BM_CLICK, 0, 0);
    about = WaitForDialog(DOVED_ABOUT_CAPTION);
    ASSERT_NE(about, nullptr);
    PostMessageA(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilGone(about));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(Text(dialog, IDC_MESSAGE), "");
    Click(dialog, IDOK);
  });
  EXPECT_TRUE(shown);
  EXPECT_NE(GetFileAttributesA(configPath.c_str()), INVALID_FILE_ATTRIBUTES) << "OK wrote no Doved.cfg";
}

// Where the plug-in's folder is read-only to its user, as Program Files is,
// the settings go beside the host's own settings file, and the next start
// reads them from there; About says where they are.
TEST_F(ConfigDialogUnderWine, SettingsGoBesideTheHostsOwnWhereThePluginFolderIsReadOnly) {
  const std::string library = ReadOnlyFolder("plugin");
  if (library.empty()) GTEST_SKIP() << "no read-only folder: scripts/wine-tests makes one";
  const std::string host = WorkDirectory();
  CreateDirectoryA(host.c_str(), nullptr);
  const std::string saved = host + "\\Doved.cfg";
  DeleteFileA(saved.c_str());
  {
    LoadedPlugin plugin(library);
    ASSERT_TRUE(plugin.IsLoaded());
    ASSERT_TRUE(plugin.NameHostSettings(host + "\\wincmd.ini"));
    EXPECT_TRUE(plugin.Configure([](HWND dialog) {
      Click(dialog, IDC_EXTRACT_HOBETA);
      EXPECT_TRUE(SaveScreenshot(dialog, "config-read-only-folder"));
      Click(dialog, IDOK);
    }));
  }
  EXPECT_NE(FileText(saved).find("ExtractHobeta=1\r\n"), std::string::npos) << FileText(saved);
  EXPECT_EQ(GetFileAttributesA((library + "\\Doved.cfg").c_str()), INVALID_FILE_ATTRIBUTES);

  LoadedPlugin again(library);
  ASSERT_TRUE(again.NameHostSettings(host + "\\wincmd.ini"));
  EXPECT_TRUE(again.Configure([&](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, IDC_EXTRACT_HOBETA)) << "the next start did not read " << saved;
    PostMessageA(GetDlgItem(dialog, IDC_ABOUT_BUTTON), BM_CLICK, 0, 0);
    HWND about = WaitForDialog(DOVED_ABOUT_CAPTION);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(lstrcmpiA(Text(about, IDC_CONFIG_PATH).c_str(), saved.c_str()), 0) << Text(about, IDC_CONFIG_PATH);
    EXPECT_TRUE(SaveScreenshot(about, "about-host-settings"));
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntilGone(about));
    Click(dialog, IDCANCEL);
  }));
}

// Where no folder takes the settings, OK tells the user so, and what was
// confirmed stays in force until the host ends.
TEST_F(ConfigDialogUnderWine, WhereNoFolderTakesTheSettingsTheUserIsTold) {
  const std::string library = ReadOnlyFolder("plugin");
  const std::string host = ReadOnlyFolder("host");
  if (library.empty() || host.empty()) GTEST_SKIP() << "no read-only folders: scripts/wine-tests makes them";
  LoadedPlugin plugin(library);
  ASSERT_TRUE(plugin.IsLoaded());
  ASSERT_TRUE(plugin.NameHostSettings(host + "\\wincmd.ini"));
  std::string told;
  EXPECT_TRUE(plugin.Configure([&](HWND dialog) {
    Click(dialog, IDC_EXTRACT_HOBETA);
    Click(dialog, IDOK);
    HWND box = WaitForDialog("Doved error");
    ASSERT_NE(box, nullptr) << "no error box";
    told = Text(box, 0xFFFF);
    EXPECT_TRUE(SaveScreenshot(box, "settings-not-saved"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(box));
  }));
  EXPECT_EQ(told.rfind("The settings could not be saved to\n" + host + "\\Doved.cfg\n\n", 0), 0u) << told;
  EXPECT_NE(told.find("They apply until the file manager is closed."), std::string::npos) << told;
  EXPECT_TRUE(plugin.Configure([](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, IDC_EXTRACT_HOBETA)) << "the confirmed settings went out of force";
    Click(dialog, IDCANCEL);
  }));
}

}  // namespace
