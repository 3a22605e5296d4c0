#include <gtest/gtest.h>

#include "base/error_report.h"
#include "base/status.h"
#include "helpers/fault_os.h"

namespace {

class StatusReportTest : public ::testing::Test {
 protected:
  std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const auto& box : faults.TakeBoxes()) {
      EXPECT_EQ(box.caption, "Doved error");
      texts.push_back(box.text);
    }
    return texts;
  }

  fault_os::FaultyOs faults;
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
  faults.SetSystemText(5, "Access is denied.\r\n");
  const Status both{Status::Failed | Status::OsError | Status::Show, 0, 5, "Cannot write image"};
  EXPECT_EQ(HostCode(both), 1);
  ReportStatus(both);
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Access is denied.\r\n", "Cannot write image"}));

  const Status withCode{Status::Failed | Status::OsError | Status::Show, E_EWRITE, 5, nullptr};
  EXPECT_EQ(HostCode(withCode), E_EWRITE);
}

// A host that shows the boxes itself gets them all, in the same order, and
// the system's box none; once it lets go, the system's box has them again.
std::vector<std::pair<std::string, std::string>> hostBoxes;

TEST_F(StatusReportTest, AHostsBoxTakesEveryBoxUntilItLetsGo) {
  hostBoxes.clear();
  SetErrorBoxShower([](const char* text, const char* caption) { hostBoxes.emplace_back(caption, text); });
  faults.SetSystemText(5, "Access is denied.\r\n");
  ReportStatus({Status::Failed | Status::OsError | Status::Show, 0, 5, "Cannot write image"});
  ShowError("Path of plugin DLL is too long.");
  SetErrorBoxShower(nullptr);
  EXPECT_EQ(hostBoxes, (std::vector<std::pair<std::string, std::string>>{
                           {"Doved error", "Access is denied.\r\n"},
                           {"Doved error", "Cannot write image"},
                           {"Doved error", "Path of plugin DLL is too long."}}));
  EXPECT_TRUE(ShownTexts().empty());

  ReportStatus(StatusNoMemory);
  EXPECT_EQ(hostBoxes.size(), 3u);
  EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Not enough memory"});
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

}  // namespace
