// The POSIX dialog model must behave as Windows dialogs do, or the dialog
// tests prove nothing: these drive it with a bare dialog procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "platform/posix/dialog_test_hooks.h"
#include "platform/windows_api.h"
#include "settings/dialog_controls.h"

namespace {

using platform_test::DialogUser;

// What a bare dialog procedure heard, and how it answers.
struct Recorder {
  std::vector<UINT> messages;
  std::vector<WPARAM> commands;  // wParam of each WM_COMMAND
  bool endOnCancel = true;
};

INT_PTR CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
  auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (recorder == nullptr) return FALSE;
  recorder->messages.push_back(message);
  if (message != WM_COMMAND) return message == WM_INITDIALOG;
  recorder->commands.push_back(wParam);
  if (LOWORD(wParam) == IDCANCEL && recorder->endOnCancel) EndDialog(hwnd, IDCANCEL);
  return TRUE;
}

INT_PTR Show(Recorder& recorder, WORD resource = IDD_CONFIG, HWND parent = nullptr) {
  return DialogBoxParamA(reinterpret_cast<HINSTANCE>(0x400000), MAKEINTRESOURCEA(resource), parent, RecordingProc,
                         reinterpret_cast<LPARAM>(&recorder));
}

class DialogModelTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_test::ClearDialogScripts(); }
  void TearDown() override {
    EXPECT_EQ(platform_test::PendingDialogScripts(), 0u) << "a scripted dialog was never shown";
    platform_test::ClearDialogScripts();
  }
};

TEST_F(DialogModelTest, AutoRadioButtonsClearOnlyTheirOwnGroup) {
  Recorder recorder;
  platform_test::ScriptDialog([](DialogUser& user) {
    EXPECT_TRUE(user.Click(IDC_NUMBERING_NONE));
    EXPECT_TRUE(user.Click(IDC_NUMBERING_HEX));
    EXPECT_EQ(user.CheckState(IDC_NUMBERING_NONE), BST_UNCHECKED);
    EXPECT_EQ(user.CheckState(IDC_NUMBERING_HEX), BST_CHECKED);
    // Each pattern radio starts a group of its own: the system keeps both.
    EXPECT_TRUE(user.Click(IDC_SELECT_PATTERN1));
    EXPECT_TRUE(user.Click(IDC_SELECT_PATTERN2));
    EXPECT_EQ(user.CheckState(IDC_SELECT_PATTERN1), BST_CHECKED);
    EXPECT_EQ(user.CheckState(IDC_SELECT_PATTERN2), BST_CHECKED);
    // A check box toggles; group boxes and static texts take no clicks.
    EXPECT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    EXPECT_TRUE(user.Click(IDC_RAREV_COMPATIBLE));
    EXPECT_EQ(user.CheckState(IDC_RAREV_COMPATIBLE), BST_UNCHECKED);
    EXPECT_FALSE(user.Click(IDC_STATIC));
    EXPECT_FALSE(user.Click(IDC_MESSAGE));
  });
  Show(recorder);
  const WPARAM expected[] = {MAKEWPARAM(IDC_NUMBERING_NONE, BN_CLICKED), MAKEWPARAM(IDC_NUMBERING_HEX, BN_CLICKED),
                             MAKEWPARAM(IDC_SELECT_PATTERN1, BN_CLICKED), MAKEWPARAM(IDC_SELECT_PATTERN2, BN_CLICKED),
                             MAKEWPARAM(IDC_RAREV_COMPATIBLE, BN_CLICKED), MAKEWPARAM(IDC_RAREV_COMPATIBLE, BN_CLICKED),
                             MAKEWPARAM(IDCANCEL, BN_CLICKED)};
  EXPECT_EQ(recorder.commands, std::vector<WPARAM>(std::begin(expected), std::end(expected)));
}

TEST_F(DialogModelTest, TypingObeysLimitReadOnlyAndDisabledState) {
  Recorder recorder;
  platform_test::ScriptDialog([](DialogUser& user) {
    const HWND hwnd = user.Window();
    SendDlgItemMessageA(hwnd, IDC_PATTERN1, EM_LIMITTEXT, 5, 0);
    EXPECT_TRUE(user.Type(IDC_PATTERN1, "abcdefgh"));
    EXPECT_EQ(user.Text(IDC_PATTERN1), "abcde");
    // The program itself is not held to the limit.
    EXPECT_TRUE(SetDlgItemTextA(hwnd, IDC_PATTERN1, "0123456789"));
    EXPECT_EQ(user.Text(IDC_PATTERN1), "0123456789");

    EXPECT_TRUE(SetDlgItemTextA(hwnd, IDC_SEPARATOR, "!"));
    EXPECT_FALSE(user.Type(IDC_SEPARATOR, "x"));
    EXPECT_EQ(user.Text(IDC_SEPARATOR), "!");

    EnableWindow(GetDlgItem(hwnd, IDC_PATTERN2), FALSE);
    EXPECT_FALSE(user.Type(IDC_PATTERN2, "x"));
    EXPECT_FALSE(user.IsEnabled(IDC_PATTERN2));
    EXPECT_FALSE(user.Type(IDC_RAREV_COMPATIBLE, "x"));
  });
  Show(recorder);
  // Typing and setting an edit's text both tell the dialog.
  const WPARAM expected[] = {MAKEWPARAM(IDC_PATTERN1, EN_CHANGE), MAKEWPARAM(IDC_PATTERN1, EN_CHANGE),
                             MAKEWPARAM(IDC_SEPARATOR, EN_CHANGE), MAKEWPARAM(IDCANCEL, BN_CLICKED)};
  EXPECT_EQ(recorder.commands, std::vector<WPARAM>(std::begin(expected), std::end(expected)));
}

TEST_F(DialogModelTest, TextReadsBackWithinTheBuffer) {
  Recorder recorder;
  platform_test::ScriptDialog([](DialogUser& user) {
    const HWND hwnd = user.Window();
    SetDlgItemTextA(hwnd, IDC_PATTERN1, "abcdef");
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetDlgItemTextA(hwnd, IDC_PATTERN1, buffer, 4), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'x');
    EXPECT_EQ(GetDlgItemTextA(hwnd, 4711, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(GetLastError(), ERROR_CONTROL_ID_NOT_FOUND);
  });
  Show(recorder);
}

TEST_F(DialogModelTest, CloseBoxBecomesCancelUnlessCancelIsDisabled) {
  Recorder recorder;
  platform_test::ScriptDialog([](DialogUser& user) {
    EnableWindow(GetDlgItem(user.Window(), IDCANCEL), FALSE);
    EXPECT_TRUE(user.Close());
    EXPECT_TRUE(user.IsOpen());
    EnableWindow(GetDlgItem(user.Window(), IDCANCEL), TRUE);
    EXPECT_TRUE(user.Close());
    EXPECT_FALSE(user.IsOpen());
    EXPECT_FALSE(user.Click(IDOK));  // the dialog has ended
  });
  EXPECT_EQ(Show(recorder), IDCANCEL);
  EXPECT_EQ(std::count(recorder.messages.begin(), recorder.messages.end(), WM_CLOSE), 2);
  EXPECT_EQ(recorder.commands, std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED)});
}

TEST_F(DialogModelTest, WithoutAUserTheDialogIsClosedAtOnce) {
  Recorder recorder;
  EXPECT_EQ(Show(recorder), IDCANCEL);
  ASSERT_GE(recorder.messages.size(), 3u);
  EXPECT_EQ(recorder.messages[0], WM_INITDIALOG);
  EXPECT_EQ(recorder.messages[1], WM_CLOSE);

  // A dialog that will not end is given up rather than waited for.
  Recorder stubborn;
  stubborn.endOnCancel = false;
  EXPECT_EQ(Show(stubborn), -1);
}

TEST_F(DialogModelTest, UnknownTemplateFails) {
  Recorder recorder;
  SetLastError(0);
  EXPECT_EQ(Show(recorder, 102), -1);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DialogModelTest, ModalChildDisablesItsOwnerUntilItEnds) {
  Recorder outer;
  Recorder inner;
  platform_test::ScriptDialog([&](DialogUser& owner) {
    platform_test::ScriptDialog([&](DialogUser& child) {
      EXPECT_EQ(child.ResourceId(), IDD_ABOUT);
      EXPECT_EQ(child.Caption(), "About Doved");
      EXPECT_FALSE(owner.Click(IDC_RAREV_COMPATIBLE));
      EXPECT_FALSE(owner.Close());
      EXPECT_TRUE(child.Click(IDOK));
      EndDialog(child.Window(), 7);
    });
    EXPECT_EQ(Show(inner, IDD_ABOUT, owner.Window()), 7);
    EXPECT_TRUE(owner.Click(IDC_RAREV_COMPATIBLE));
  });
  EXPECT_EQ(Show(outer), IDCANCEL);
  EXPECT_EQ(outer.commands.size(), 2u);
}

TEST_F(DialogModelTest, WindowSlotsAreSeparate) {
  Recorder recorder;
  platform_test::ScriptDialog([&](DialogUser& user) {
    const HWND hwnd = user.Window();
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&recorder));
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE), 0x400000);
    EXPECT_EQ(SetWindowLongPtrA(hwnd, DWLP_USER, 42), 0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, DWLP_USER), 42);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&recorder));
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 12345), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    // A control is a window of its own, with its own user data.
    const HWND ok = GetDlgItem(hwnd, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(ok, GWLP_USERDATA), 0);
    EXPECT_EQ(EnableWindow(ok, FALSE), FALSE);
    EXPECT_EQ(EnableWindow(ok, TRUE), TRUE);
  });
  Show(recorder);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(reinterpret_cast<HWND>(&recorder), GWLP_USERDATA), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(DialogModelTest, FontsAreCountedUntilDeleted) {
  const size_t before = platform_test::LiveFonts();
  const HFONT font = CreateFontA(0, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(platform_test::LiveFonts(), before + 1);
  EXPECT_EQ(platform_test::DescribeFont(font).weight, FW_BOLD);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_EQ(platform_test::LiveFonts(), before);
  EXPECT_EQ(platform_test::DescribeFont(font).face, "");
}

}  // namespace
