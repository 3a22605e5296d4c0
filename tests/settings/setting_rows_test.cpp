// The settings table holds together: every key and control once, choices
// whose radio buttons follow one another, defaults that the controls can
// show, and a README that names every key the file can hold.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "settings/config_form.h"
#include "settings/setting_rows.h"

namespace {

TEST(SettingRowsTest, KeysPlacesAndControlsAreEachTakenOnce) {
  std::set<std::string> keys;
  std::set<int> places;
  std::set<int> ids;
  const Settings defaults = DefaultSettings();
  for (const SettingRow& row : SettingRows()) {
    if (row.key != nullptr) {
      EXPECT_TRUE(keys.insert(row.key).second) << row.key;
      EXPECT_TRUE(places.insert(row.saved).second) << row.key;
    }
    for (const SettingControl& control : row.controls) EXPECT_TRUE(ids.insert(control.id).second) << control.id;
    if (row.IsChoice()) {
      for (std::size_t i = 1; i < row.controls.size(); ++i) {
        EXPECT_EQ(row.controls[i].id, row.controls[i - 1].id + 1) << "radio sets are id ranges";
        EXPECT_GT(row.controls[i].value, row.controls[i - 1].value) << "clamping needs ascending values";
      }
      EXPECT_TRUE(row.Offers(row.get(defaults))) << "the default is one of the radio buttons";
    }
    if (row.IsText()) {
      EXPECT_EQ(ConfigForm::TextLimit(row.controls.front().id), row.size - 1);
      EXPECT_LT(std::strlen(row.TextOf(defaults)), row.size);
    }
  }
  EXPECT_EQ(*places.begin(), 1);
  EXPECT_EQ(*places.rbegin(), static_cast<int>(places.size())) << "keys take the places 1 to n";
}

// The key table of the README's settings section names exactly the keys.
TEST(SettingRowsTest, ReadmeNamesEveryKey) {
  std::ifstream readme(DOVED_README);
  ASSERT_TRUE(readme) << DOVED_README;
  std::set<std::string> named;
  bool inTable = false;
  const std::regex key("`([A-Za-z0-9]+)`");
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind("| key |", 0) == 0) inTable = true;
    else if (inTable && line.rfind("|", 0) != 0) break;
    else if (inTable) {
      const std::string first = line.substr(0, line.find('|', 1));
      for (std::sregex_iterator it(first.begin(), first.end(), key), end; it != end; ++it) named.insert((*it)[1]);
    }
  }
  std::set<std::string> keys;
  for (const SettingRow& row : SettingRows()) {
    if (row.key != nullptr) keys.insert(row.key);
  }
  EXPECT_EQ(named, keys) << "the README's key table and the settings table differ";
}

}  // namespace
