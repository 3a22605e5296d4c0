// The built Doved.wcx in a host that meets it as Double Commander does: its
// boxes reach the host's message box, its settings dialog is a form that a
// scripted user works, and its settings file finds a place the user can write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "helpers/child_process.h"
#include "helpers/double_commander.h"
#include "helpers/file_contents.h"
#include "helpers/profile_file.h"
#include "helpers/stderr_capture.h"
#include "helpers/tap_builder.h"
#include "os/os.h"
#include "plugin/doublecmd/lfm_form.h"
#include "settings/config_form.h"
#include "settings/dialog_controls.h"
#include "settings/settings.h"
#include "tape/tap_format.h"

namespace {

using tap_builder::Concat;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;
using tap_builder::Pattern;

constexpr long ErrorIcon = 0x10;  // MB_ICONERROR, with the OK button of MB_OK (0)
constexpr char RestartNotice[] =
    "\nPlease restart all instances of Total Commander to fully apply new Doved settings!";
constexpr char InvalidNotice[] = "\nInvalid file name pattern!";

std::string Item(int id) { return "Item" + std::to_string(id); }

std::string Text(const tap_builder::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A program and a bytes file: "hello.B" and "screen.C" with numbering off.
const std::string TwoFiles = Text(Concat({HeaderBlock(ProgramType, "hello", 100, 10, 100), DataBlock(Pattern(100)),
                                          HeaderBlock(CodeType, "screen", 6912, 16384, 32768),
                                          DataBlock(Pattern(6912, 3))}));

std::string Config(const std::string& lines) { return "[Doved]\r\n" + lines; }

// The numbering stored in a Doved.cfg; -1 without the file or the key.
int StoredNumbering(const std::string& path) {
  if (!FileExists(path)) return -1;
  const auto stored = StoredProfileValue(path, "FileNameNumbering");
  return stored ? std::stoi(*stored) : -1;
}

class DoubleCommanderTest : public ::testing::Test {
 protected:
  void SetUp() override { StoreFile(image, TwoFiles); }

  std::vector<std::string> Listing(DoubleCommander& host) const {
    std::vector<std::string> names;
    EXPECT_EQ(host.List(image, names), 0);
    return names;
  }

  ScratchDir dir;
  const std::string image = dir.Path("GAMES.TAP");
};

// What Doved shows reaches the host's message box: the same caption, texts
// and order as on Windows, and nothing on standard error.
TEST_F(DoubleCommanderTest, EveryShownFailureReachesTheHostsMessageBox) {
  DoubleCommander host;
  ASSERT_TRUE(host.Loaded()) << host.Error();
  host.Start();
  StderrCapture errors;

  StoreFile(dir.Path("large.C"), std::string(65534, 'L'));
  EXPECT_EQ(host.Pack(dir.Path("new.tap"), dir.Path(), {"large.C"}), E_NOT_SUPPORTED);
  std::vector<HostBox> boxes = host.TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Doved error");
  EXPECT_EQ(boxes[0].text, "Cannot pack files larger than 65533 bytes.");
  EXPECT_EQ(boxes[0].flags, ErrorIcon);

  // Numbering is on by default: the user is told to switch it off.
  std::string many;
  for (int i = 0; i < 257; ++i) many += Text(DataBlock({static_cast<std::uint8_t>(i)}));
  StoreFile(dir.Path("many.tap"), many);
  std::vector<std::string> names;
  EXPECT_EQ(host.List(dir.Path("many.tap"), names), 1);
  boxes = host.TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "This tape image contains more than 255 files.\nSuch images are supported only if numbering mode is off.\n"
            "You have to switch file numbering mode off in Doved settings\nto work with this image. Sorry :(");
  EXPECT_EQ(boxes[0].flags, ErrorIcon);

  StoreFile(dir.Path("cut.tap"), TwoFiles.substr(0, TwoFiles.size() - 10));
  EXPECT_EQ(host.Delete(dir.Path("cut.tap"), {"hello.B"}), E_BAD_ARCHIVE);
  boxes = host.TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Doved error");
  EXPECT_EQ(boxes[0].text, "TAP image is corrupted and cannot be modified.");

  EXPECT_EQ(errors.Take(), "");

  // Once the host has finished the library, its box is gone: stderr again.
  host.Finish();
  StderrCapture after;
  EXPECT_EQ(host.Pack(dir.Path("new.tap"), dir.Path(), {"large.C"}), E_NOT_SUPPORTED);
  EXPECT_EQ(after.Take(), "[Doved error] Cannot pack files larger than 65533 bytes.\n");
  EXPECT_TRUE(host.TakeBoxes().empty());
}

TEST_F(DoubleCommanderTest, WithoutTheHostsMessageBoxTheBoxesStayOnStandardError) {
  DoubleCommander host;
  ASSERT_TRUE(host.Loaded()) << host.Error();
  host.Start(false);
  StoreFile(dir.Path("cut.tap"), TwoFiles.substr(0, TwoFiles.size() - 10));
  StderrCapture errors;
  EXPECT_EQ(host.Delete(dir.Path("cut.tap"), {"hello.B"}), E_BAD_ARCHIVE);
  EXPECT_EQ(errors.Take(), "[Doved error] TAP image is corrupted and cannot be modified.\n");
  EXPECT_TRUE(host.TakeBoxes().empty());
}

// The control table, as the Windows resources are made from it.
struct TableRow {
  int id;
  std::string windowClass;
  std::string text;
  int x, y, width, height;
};
#define DOVED_TEST_ROW(kind, id, windowClass, text, style, x, y, width, height) \
  TableRow{id, windowClass, text, x, y, width, height},
const std::vector<TableRow> ConfigTable = {DOVED_CONFIG_CONTROLS(DOVED_TEST_ROW)};
const std::vector<TableRow> AboutTable = {DOVED_ABOUT_CONTROLS(DOVED_TEST_ROW)};
#undef DOVED_TEST_ROW

// The object of the form that stands for a table row: by id, or for a row
// without one by its class and text.
const LfmObject* ObjectOf(const LfmObject& form, const TableRow& row) {
  if (row.id > 0) return form.Find(Item(row.id));
  for (const LfmObject* object : form.Descendants()) {
    const bool box = row.windowClass == "Button" && object->className == "TGroupBox";
    const bool label = row.windowClass == "Static" && object->className == "TLabel";
    if ((box || label) && object->Text("Caption") == row.text && object->Number("Width") == doublecmd::PixelsX(row.width)) {
      return object;
    }
  }
  return nullptr;
}

// The parent of `object` in the form; the form itself for its own controls.
const LfmObject* ParentOf(const LfmObject& form, const LfmObject* object) {
  if (std::any_of(form.children.begin(), form.children.end(), [&](const LfmObject& c) { return &c == object; })) {
    return &form;
  }
  for (const LfmObject* candidate : form.Descendants()) {
    for (const LfmObject& child : candidate->children) {
      if (&child == object) return candidate;
    }
  }
  return nullptr;
}

// Every row of the table is a control of the form, with its text and size;
// controls that share a parent keep the table's distances, converted from
// dialog units, and the table's tab order.
void ExpectFormOfTable(const LfmObject& form, const std::vector<TableRow>& table) {
  std::map<const LfmObject*, std::pair<long, long>> parentOffsets;  // Left/Top minus the table's pixels
  std::map<const LfmObject*, long> lastTabOrder;
  for (const TableRow& row : table) {
    const LfmObject* object = ObjectOf(form, row);
    ASSERT_NE(object, nullptr) << "no control for \"" << row.text << "\" (" << row.id << ")";
    const bool edit = row.windowClass == "Edit";
    EXPECT_EQ(object->Text(edit ? "Text" : "Caption"), row.text) << object->name;
    // A sunken label fills the lowered panel that stands in its place.
    const LfmObject* placed = object->Text("Align") == "alClient" ? ParentOf(form, object) : object;
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->Number("Width"), doublecmd::PixelsX(row.width)) << object->name;
    EXPECT_EQ(placed->Number("Height"), doublecmd::PixelsY(row.height)) << object->name;
    const LfmObject* parent = ParentOf(form, placed);
    const std::pair<long, long> offset = {placed->Number("Left") - doublecmd::PixelsX(row.x),
                                          placed->Number("Top") - doublecmd::PixelsY(row.y)};
    const auto known = parentOffsets.emplace(parent, offset);
    EXPECT_EQ(known.first->second, offset) << placed->name << " is out of place in " << parent->name;
    if (placed->Has("TabOrder")) {
      const auto last = lastTabOrder.find(parent);
      if (last != lastTabOrder.end()) {
        EXPECT_GT(placed->Number("TabOrder"), last->second) << placed->name;
      }
      lastTabOrder[parent] = placed->Number("TabOrder");
    }
  }
  EXPECT_EQ(parentOffsets[&form], std::make_pair(0L, 0L)) << "the form's own controls lie where the table puts them";
}

TEST_F(DoubleCommanderTest, TheFormsHoldEveryControlOfTheTable) {
  DoubleCommander host;
  ASSERT_TRUE(host.Loaded()) << host.Error();
  host.Start();
  host.WhenShown([](ShownForm& form) { form.Click(Item(IDC_ABOUT_BUTTON)); });
  host.Configure();
  ASSERT_EQ(host.Forms().size(), 2u);

  LfmObject config;
  std::string error;
  ASSERT_TRUE(ReadLfm(host.Forms()[0], config, error)) << error;
  EXPECT_EQ(config.Text("Caption"), "Doved config");
  EXPECT_EQ(config.Number("ClientWidth"), doublecmd::PixelsX(377));
  EXPECT_EQ(config.Number("ClientHeight"), doublecmd::PixelsY(333));
  ExpectFormOfTable(config, ConfigTable);

  // Each control is of the class its kind needs, with its limits.
  for (const FormControl& control : ConfigForm::Controls()) {
    const LfmObject* object = config.Find(Item(control.id));
    ASSERT_NE(object, nullptr) << control.id;
    switch (control.kind) {
      case FormControlKind::PushButton:
        EXPECT_EQ(object->className, "TButton") << control.id;
        break;
      case FormControlKind::CheckBox:
      case FormControlKind::RadioButton:
        EXPECT_EQ(object->className, "TCheckBox") << control.id;
        break;
      case FormControlKind::Edit:
        EXPECT_EQ(object->className, "TEdit") << control.id;
        EXPECT_EQ(object->Number("MaxLength"), 199) << control.id;
        EXPECT_FALSE(object->Has("ReadOnly")) << control.id;
        break;
      case FormControlKind::ReadOnlyEdit:
        EXPECT_EQ(object->className, "TEdit") << control.id;
        EXPECT_EQ(object->Text("ReadOnly"), "True") << control.id;
        break;
      case FormControlKind::Notice:
        EXPECT_EQ(object->className, "TLabel") << control.id;
        EXPECT_EQ(object->Text("Font.Style"), "[fsBold]");
        break;
      case FormControlKind::GroupBox:
      case FormControlKind::Label:
        ADD_FAILURE() << control.id << ": frames and captions have no id";
        break;
    }
  }
  // The radio buttons of a set, and what belongs together, share a group box.
  const auto parentCaption = [&](int id) { return ParentOf(config, config.Find(Item(id)))->Text("Caption"); };
  EXPECT_EQ(parentCaption(IDC_RAREV_COMPATIBLE), "Mode");
  EXPECT_EQ(parentCaption(IDC_NUMBERING_HEX), "TR-DOS options");
  EXPECT_EQ(parentCaption(IDC_SMART_LENGTH), "TR-DOS options");
  EXPECT_EQ(parentCaption(IDC_PATTERN2), "Pattern");
  EXPECT_EQ(parentCaption(IDC_SELECT_PATTERN2), "Pattern");
  EXPECT_EQ(parentCaption(IDC_GAP_FIXED_FONT), "Gap before parameters");
  EXPECT_EQ(ParentOf(config, config.Find(Item(IDC_PATTERN1)))->name,
            ParentOf(config, config.Find(Item(IDC_SELECT_PATTERN1)))->name);
  EXPECT_EQ(config.Find(Item(IDC_CANCEL))->Text("Cancel"), "True");
  EXPECT_EQ(config.Find(Item(IDC_OK))->Text("Default"), "True");

  LfmObject about;
  ASSERT_TRUE(ReadLfm(host.Forms()[1], about, error)) << error;
  EXPECT_EQ(about.Text("Caption"), "About Doved");
  EXPECT_EQ(about.Number("ClientWidth"), doublecmd::PixelsX(311));
  ExpectFormOfTable(about, AboutTable);
  // Escape closes the About box, as its only button.
  EXPECT_EQ(about.Find(Item(IDC_OK))->Text("Cancel"), "True");
}

// A scripted user: tick "Rarev compatible", watch the
// enabled states, type an invalid pattern, mend it, confirm; the values are
// in Doved.cfg and in force for the next image opened.
TEST_F(DoubleCommanderTest, ConfirmedSettingsAreSavedAndRenameTheNextListing) {
  DoubleCommander host;
  ASSERT_TRUE(host.Loaded()) << host.Error();
  host.Start();
  const std::vector<std::string> before = Listing(host);
  const std::string cfg = host.ConfigFolder() + "/Doved.cfg";

  const std::vector<int> trDos = {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC, IDC_EXTRACT_HOBETA};
  const std::vector<int> bsDos = {IDC_PARAMS_IN_DECIMAL, IDC_PATTERN1,    IDC_PATTERN2,          IDC_SELECT_PATTERN1,
                                  IDC_SELECT_PATTERN2,   IDC_GAP_ALIGNED, IDC_GAP_VARIABLE_FONT, IDC_GAP_FIXED_FONT};
  bool aboutShown = false;
  host.WhenShown([&](ShownForm& form) {
    EXPECT_EQ(form.Caption(), "Doved config");
    // Loaded from the defaults: decimal numbering, pattern 1, aligned gap.
    EXPECT_TRUE(form.Checked(Item(IDC_NUMBERING_DEC)));
    EXPECT_FALSE(form.Checked(Item(IDC_NUMBERING_NONE)));
    EXPECT_TRUE(form.Checked(Item(IDC_DETECT_HOBETA)));
    EXPECT_EQ(form.Text(Item(IDC_SEPARATOR)), "!   ");
    EXPECT_EQ(form.Text(Item(IDC_PATTERN1)), std::string(30, ' ') + "<len> <start> <vars> <body> <flag> <attr>");
    EXPECT_EQ(form.Text(Item(IDC_MESSAGE)), "");
    for (const int id : trDos) EXPECT_TRUE(form.Enabled(Item(id))) << id;
    for (const int id : bsDos) EXPECT_FALSE(form.Enabled(Item(id))) << id;
    // What is disabled cannot be used.
    EXPECT_FALSE(form.Type(Item(IDC_PATTERN2), "x"));
    EXPECT_FALSE(form.Type(Item(IDC_SEPARATOR), "#"));

    ASSERT_TRUE(form.Click(Item(IDC_RAREV_COMPATIBLE)));
    EXPECT_TRUE(form.Checked(Item(IDC_RAREV_COMPATIBLE)));
    for (const int id : trDos) EXPECT_FALSE(form.Enabled(Item(id))) << id;
    for (const int id : bsDos) EXPECT_TRUE(form.Enabled(Item(id))) << id;
    EXPECT_TRUE(form.Enabled(Item(IDC_DETECT_HOBETA)));
    EXPECT_EQ(form.Text(Item(IDC_MESSAGE)), RestartNotice);

    // The selected pattern made invalid: the notice says so and OK is off,
    // also once "Rarev compatible" is cleared again.
    ASSERT_TRUE(form.Type(Item(IDC_PATTERN1), "<len><start><vars><body><attr><flag>"));
    EXPECT_EQ(form.Text(Item(IDC_MESSAGE)), InvalidNotice);
    EXPECT_FALSE(form.Enabled(Item(IDC_OK)));
    EXPECT_FALSE(form.PressEnter());
    ASSERT_TRUE(form.Click(Item(IDC_RAREV_COMPATIBLE)));
    EXPECT_FALSE(form.Enabled(Item(IDC_OK)));
    EXPECT_EQ(form.Text(Item(IDC_MESSAGE)), InvalidNotice);
    ASSERT_TRUE(form.Click(Item(IDC_RAREV_COMPATIBLE)));

    // The other pattern selected instead: valid again. Then pattern 1 mended.
    ASSERT_TRUE(form.Click(Item(IDC_SELECT_PATTERN2)));
    EXPECT_FALSE(form.Checked(Item(IDC_SELECT_PATTERN1)));
    EXPECT_TRUE(form.Enabled(Item(IDC_OK)));
    ASSERT_TRUE(form.Click(Item(IDC_SELECT_PATTERN1)));
    EXPECT_FALSE(form.Enabled(Item(IDC_OK)));
    ASSERT_TRUE(form.Type(Item(IDC_PATTERN1), " P<len><start><vars><body><flag><attr>"));
    EXPECT_TRUE(form.Enabled(Item(IDC_OK)));
    EXPECT_EQ(form.Text(Item(IDC_MESSAGE)), RestartNotice);

    // The gap set stays exclusive, and a selected member cannot be cleared.
    ASSERT_TRUE(form.Click(Item(IDC_GAP_FIXED_FONT)));
    EXPECT_TRUE(form.Checked(Item(IDC_GAP_FIXED_FONT)));
    EXPECT_FALSE(form.Checked(Item(IDC_GAP_ALIGNED)));
    ASSERT_TRUE(form.Click(Item(IDC_GAP_FIXED_FONT)));
    EXPECT_TRUE(form.Checked(Item(IDC_GAP_FIXED_FONT)));

    ASSERT_TRUE(form.Click(Item(IDC_ABOUT_BUTTON)));
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(form.IsOpen());
    ASSERT_TRUE(form.PressEnter());
    EXPECT_FALSE(form.IsOpen());
  });
  host.WhenShown([&](ShownForm& about) {
    aboutShown = true;
    EXPECT_EQ(about.Caption(), "About Doved");
    EXPECT_EQ(about.Text(Item(IDC_ABOUT_TEXT)).rfind("Doved " DOVED_VERSION "\n", 0), 0u) << about.Text(Item(IDC_ABOUT_TEXT));
    EXPECT_EQ(about.Text(Item(IDC_CONFIG_PATH)), cfg);
    EXPECT_TRUE(about.PressEscape());
    EXPECT_FALSE(about.IsOpen());
  });
  host.Configure();
  EXPECT_TRUE(host.TakeBoxes().empty());

  ASSERT_TRUE(FileExists(cfg));
  EXPECT_FALSE(FileExists(host.LibraryFolder() + "/Doved.cfg"));
  EXPECT_EQ(StoredProfileValue(cfg, "RarevCompatible"), "1");
  EXPECT_EQ(StoredProfileValue(cfg, "ParamsPattern1"), FieldText(" P<len><start><vars><body><flag><attr>", PatternSize));
  const auto naming = StoredProfileValue(cfg, "FileNamingMode");
  ASSERT_TRUE(naming.has_value());
  EXPECT_EQ(naming->substr(2 * offsetof(NamingModeGroup, ParamsGap), 8), "03000000") << "ParamsGap 3";

  // In the Rarev form each name carries the parameters through the pattern.
  const std::vector<std::string> after = Listing(host);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_NE(after, before);
  for (const std::string& name : after) EXPECT_NE(name.find(" P"), std::string::npos) << name;
}

TEST_F(DoubleCommanderTest, CancelAndTheCloseBoxWriteNothing) {
  DoubleCommander host;
  ASSERT_TRUE(host.Loaded()) << host.Error();
  host.Start();
  const std::vector<std::string> before = Listing(host);
  host.WhenShown([](ShownForm& form) {
    ASSERT_TRUE(form.Click(Item(IDC_NUMBERING_NONE)));
    EXPECT_FALSE(form.Checked(Item(IDC_NUMBERING_DEC)));
    ASSERT_TRUE(form.PressEscape());
    EXPECT_FALSE(form.IsOpen());
    EXPECT_EQ(form.ModalResult(), IDC_CANCEL);
  });
  host.Configure();
  host.WhenShown([](ShownForm& form) {
    ASSERT_TRUE(form.Click(Item(IDC_NUMBERING_NONE)));
    form.CloseBox();
  });
  host.Configure();
  EXPECT_TRUE(FilesIn(host.ConfigFolder()).empty());
  EXPECT_EQ(FilesIn(host.LibraryFolder()), std::vector<std::string>{"Doved.wcx"});
  EXPECT_EQ(Listing(host), before);
}

// Double Commander's configuration folder takes Doved.cfg unless a Doved.cfg
// lies beside a library whose folder the user can write.
TEST_F(DoubleCommanderTest, ADovedCfgBesideAWritableLibraryStaysThere) {
  DoubleCommander host({{"Doved.cfg", Config("FileNameNumbering=0\r\n")}});
  ASSERT_TRUE(host.Loaded()) << host.Error();
  StoreFile(host.ConfigFolder() + "/Doved.cfg", Config("FileNameNumbering=1\r\n"));
  host.Start();
  EXPECT_EQ(Listing(host), (std::vector<std::string>{"hello.B", "screen.C"}));
  const std::string beside = host.LibraryFolder() + "/Doved.cfg";
  host.WhenShown([&](ShownForm& form) {
    ASSERT_TRUE(form.Click(Item(IDC_NUMBERING_DEC)));
    ASSERT_TRUE(form.Click(Item(IDC_ABOUT_BUTTON)));
    ASSERT_TRUE(form.PressEnter());
  });
  host.WhenShown([&](ShownForm& about) { EXPECT_EQ(about.Text(Item(IDC_CONFIG_PATH)), beside); });
  host.Configure();
  EXPECT_EQ(StoredNumbering(beside), 2);
  EXPECT_EQ(StoredNumbering(host.ConfigFolder() + "/Doved.cfg"), 1);
}

TEST_F(DoubleCommanderTest, WithoutOneTheConfigurationFolderIsReadAtStart) {
  DoubleCommander host;
  ASSERT_TRUE(host.Loaded()) << host.Error();
  StoreFile(host.ConfigFolder() + "/Doved.cfg", Config("FileNameNumbering=0\r\n"));
  // The attach step found no Doved.cfg beside the library: the defaults.
  const std::vector<std::string> numbered = Listing(host);
  host.Start();
  EXPECT_EQ(Listing(host), (std::vector<std::string>{"hello.B", "screen.C"}));
  EXPECT_NE(numbered, Listing(host));
}

// Installed where the user cannot write, as under /usr/lib: the Doved.cfg
// beside the library gives the settings to start from, and the user's own go
// into Double Commander's configuration folder. Run as another user when
// the tests run as root, whom no folder refuses.
TEST_F(DoubleCommanderTest, AReadOnlyInstallKeepsItsSettingsInTheConfigurationFolder) {
  DoubleCommander host({{"Doved.cfg", Config("FileNameNumbering=0\r\n")}});
  ASSERT_TRUE(host.Loaded()) << host.Error();
  host.MakeLibraryFolderReadOnly();
  chmod(dir.Path().c_str(), 0755);
  chmod(image.c_str(), 0644);
  const std::string beside = host.LibraryFolder() + "/Doved.cfg";
  const std::string own = host.ConfigFolder() + "/Doved.cfg";
  const std::string besideBefore = FileBytes(beside);

  enum Outcome { Passed, WriteAllowed, NotPlain, PathNotOwn, NotHex, Failures };
  const int outcome = RunUnprivileged([&]() -> int {
    if (access(host.LibraryFolder().c_str(), W_OK) == 0) return WriteAllowed;
    host.Start();
    std::vector<std::string> names;
    if (host.List(image, names) != 0 || names != std::vector<std::string>{"hello.B", "screen.C"}) return NotPlain;
    std::string shownPath;
    host.WhenShown([&](ShownForm& form) {
      form.Click(Item(IDC_NUMBERING_HEX));
      form.Click(Item(IDC_ABOUT_BUTTON));
      form.PressEnter();
    });
    host.WhenShown([&](ShownForm& about) { shownPath = about.Text(Item(IDC_CONFIG_PATH)); });
    host.Configure();
    if (shownPath != own) return PathNotOwn;
    names.clear();
    if (host.List(image, names) != 0 || names.size() != 2 || names[0] == "hello.B") return NotHex;
    return ::testing::Test::HasFailure() ? Failures : Passed;
  });
  EXPECT_EQ(outcome, Passed) << "1 the folder takes files, 2 the names are not plain, 3 About shows another path, "
                                "4 the new settings are not in force, 5 a check failed in the child";
  EXPECT_EQ(StoredNumbering(own), 1);
  EXPECT_EQ(FileBytes(beside), besideBefore);
}

}  // namespace
