// The plug-in's error boxes under Wine: a box goes over the host's window,
// which waits behind it, and stands alone when the host shows none.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "wine/dialog_driver.h"

namespace {

constexpr char ErrorCaption[] = "Doved error";
constexpr char CorruptedText[] = "TAP image is corrupted and cannot be modified.";
constexpr int MessageBoxTextId = 0xFFFF;

using PackFiles = int(WINAPI*)(char*, char*, char*, char*, int);

// What the user saw of the box that a call showed.
struct SeenBox {
  bool shown = false;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  std::string text;
};

class ErrorBoxUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::string(DOVED_WINE_WORK_DIR) + "/" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
    plugin_ = std::make_unique<LoadedPlugin>(directory_, "");
    ASSERT_TRUE(plugin_->IsLoaded());
    // A block that claims more bytes than the image has: packing refuses it with a box.
    std::ofstream(directory_ + "/broken.tap", std::ios::binary) << std::string("\x13\x00\x00", 3);
  }

  // Packs into the broken image on this thread while a user on another one
  // reads the box that comes up, saves it as NAME.png and answers it.
  SeenBox PackIntoBrokenImage(const std::string& name, int* code) {
    const auto pack = reinterpret_cast<PackFiles>(reinterpret_cast<void*>(GetProcAddress(plugin_->Module(), "PackFiles")));
    SeenBox seen;
    std::atomic<bool> returned{false};
    std::thread user([&] {
      HWND box = nullptr;
      while (!returned && (box = WaitForDialog(ErrorCaption)) == nullptr) {
      }
      if (box == nullptr) return;
      seen.shown = true;
      seen.owner = GetWindow(box, GW_OWNER);
      seen.ownerEnabled = seen.owner == nullptr || IsWindowEnabled(seen.owner);
      seen.text = Text(box, MessageBoxTextId);
      SaveScreenshot(box, name);
      while (!returned) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(50);
      }
    });
    std::string image = directory_ + "\\broken.tap";
    std::string source = directory_;
    char list[] = "missing.C\0";
    *code = pack != nullptr ? pack(image.data(), nullptr, source.data(), list, 0) : -1;
    returned = true;
    user.join();
    return seen;
  }

  std::string directory_;
  std::unique_ptr<LoadedPlugin> plugin_;
};

// A top-level window of this process, as a host has one, shown or not.
HWND MakeWindow(bool visible) {
  return CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0, 400, 300,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST_F(ErrorBoxUnderWine, GoesOverTheHostsWindowWhichWaitsBehindIt) {
  HWND host = MakeWindow(true);
  ASSERT_NE(host, nullptr);
  int code = 0;
  const SeenBox seen = PackIntoBrokenImage("error-box-over-host", &code);
  EXPECT_EQ(code, 13);
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.text, CorruptedText);
  EXPECT_EQ(seen.owner, host);
  EXPECT_FALSE(seen.ownerEnabled) << "the host's window could still be used while the box was open";
  EXPECT_TRUE(IsWindowEnabled(host));
  DestroyWindow(host);
}

TEST_F(ErrorBoxUnderWine, StandsAloneWhenTheHostShowsNoWindow) {
  // A window that nobody sees is no host window to go over.
  HWND hidden = MakeWindow(false);
  ASSERT_NE(hidden, nullptr);
  int code = 0;
  const SeenBox seen = PackIntoBrokenImage("error-box-alone", &code);
  EXPECT_EQ(code, 13);
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.owner, nullptr);
  DestroyWindow(hidden);
}

}  // namespace
