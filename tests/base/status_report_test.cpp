#include <gtest/gtest.h>

#include "base/error_report.h"
#include "base/status.h"
#include "platform/posix/test_hooks.h"

namespace {

class StatusReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_test::ResetAll();
    platform_test::CaptureBoxes(true);
  }
  void TearDown() override { platform_test::ResetAll(); }

  static std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const auto& box : platform_test::TakeBoxes()) {
      EXPECT_EQ(box.caption, "Doved error");
      EXPECT_EQ(box.type, MB_ICONERROR);
      texts.push_back(box.text);
    }
    return texts;
  }
};

TEST_F(StatusReportTest, SuccessIsZeroAndSilentWhateverElseItHolds) {
  const Status odd{Status::OsError | Status::Show, 13, 5, "ignored"};
  EXPECT_EQ(HostCode(odd), 0);
  ReportStatus(odd);
  EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(StatusReportTest, StandardConstants) {
  EXPECT_EQ(HostCode(StatusFailed), 1);
  ReportStatus(StatusFailed);
  EXPECT_TRUE(ShownTexts().empty());

  EXPECT_EQ(HostCode(StatusNoMemory), E_NO_MEMORY);
  ReportStatus(StatusNoMemory);
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Not enough memory"});

  ReportStatus(StatusStringTooLong);
  ReportStatus(StatusListOverflow);
  ReportStatus(StatusRemoveArgs);
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Capacity of string is too large", "Overflow of list",
                                                    "Invalid args of String.Remove operation"}));
  EXPECT_EQ(HostCode(StatusListOverflow), 1);
}

TEST_F(StatusReportTest, OsErrorWithoutShowIsSilent) {
  const Status outOfMemory{Status::Failed | Status::OsError, 0, 8, nullptr};
  EXPECT_EQ(HostCode(outOfMemory), E_NO_MEMORY);
  const Status denied{Status::Failed | Status::OsError, 0, 5, nullptr};
  EXPECT_EQ(HostCode(denied), 1);
  ReportStatus(outOfMemory);
  ReportStatus(denied);
  EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(StatusReportTest, SystemTextComesBeforeTheMessage) {
  const Status both{Status::Failed | Status::OsError | Status::Show, 0, 5, "Cannot write image"};
  EXPECT_EQ(HostCode(both), 1);
  ReportStatus(both);
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Access is denied.\r\n", "Cannot write image"}));

  const Status withCode{Status::Failed | Status::OsError | Status::Show, E_EWRITE, 5, nullptr};
  EXPECT_EQ(HostCode(withCode), E_EWRITE);
}

TEST_F(StatusReportTest, UnknownSystemCodeSuppressesOnlyItsOwnBox) {
  ReportStatus({Status::Failed | Status::OsError | Status::Show, 0, 0xDEAD, "still shown"});
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{"still shown"});
}

TEST_F(StatusReportTest, ShownFailureWithCode) {
  const Status corrupt = ShownFailure("TAP image is corrupted and cannot be modified.", E_BAD_ARCHIVE);
  EXPECT_EQ(HostCode(corrupt), E_BAD_ARCHIVE);
  ReportStatus(corrupt);
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{"TAP image is corrupted and cannot be modified."});
  EXPECT_EQ(HostCode(SilentFailure(E_BAD_DATA)), E_BAD_DATA);
}

TEST_F(StatusReportTest, ShowWithNothingToShowShowsNothing) {
  ReportStatus({Status::Failed | Status::Show, 0, 0, nullptr});
  EXPECT_TRUE(ShownTexts().empty());
}

HWND FakeHandle(std::uintptr_t n) { return reinterpret_cast<HWND>(n); }

TEST_F(StatusReportTest, OwnerIsTheFirstVisibleUnownedWindowOfThisProcess) {
  const DWORD self = GetCurrentProcessId();
  platform_test::SetTopLevelWindows({
      {FakeHandle(1), self + 1, nullptr, true},         // another process
      {FakeHandle(2), self, FakeHandle(9), true},       // owned
      {FakeHandle(3), self, nullptr, false},            // hidden
      {FakeHandle(4), self, nullptr, true},             // the one
      {FakeHandle(5), self, nullptr, true},             // later, not chosen
  });
  EXPECT_EQ(FindOwnerWindow(), FakeHandle(4));
  ReportStatus(ShownFailure("owned"));
  const auto boxes = platform_test::TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, FakeHandle(4));
}

TEST_F(StatusReportTest, WithoutWindowsTheBoxHasNoOwner) {
  EXPECT_EQ(FindOwnerWindow(), nullptr);
  ReportStatus(StatusNoMemory);
  const auto boxes = platform_test::TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, nullptr);
}

}  // namespace
