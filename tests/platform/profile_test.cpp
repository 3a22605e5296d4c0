#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstring>

#include "helpers/dir_listing.h"
#include "helpers/scratch_dir.h"
#include "platform/windows_api.h"

namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::string file = dir.Path("test.ini");
};

TEST_F(ProfileFileTest, ReadsIntegersLikeWindows) {
  dir.Write("test.ini",
                 "; comment=1\n"
                 "[Other]\n"
                 "Number=99\n"
                 "[  doved  ]\r\n"
                 "  NUMBER  =  42  \r\n"
                 "neg=-3abc\n"
                 "plus=+12x\n"
                 "text=abc\n"
                 "empty=\n"
                 "blank= \t \n"
                 "last=5");
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "number", 7, file.c_str()), 42u);
  EXPECT_EQ(GetPrivateProfileIntA("DOVED", "neg", 7, file.c_str()), static_cast<UINT>(-3));
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "plus", 7, file.c_str()), 12u);
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "text", 7, file.c_str()), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "empty", 7, file.c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "blank", 7, file.c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "last", 7, file.c_str()), 5u);
  EXPECT_EQ(GetPrivateProfileIntA("Other", "number", 7, file.c_str()), 99u);
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "comment", -1, file.c_str()), static_cast<UINT>(-1));
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "missing", -1, file.c_str()), static_cast<UINT>(-1));
  EXPECT_EQ(GetPrivateProfileIntA("Missing", "number", 7, file.c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("Doved", "number", 7, dir.Path("none.ini").c_str()), 7u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(ProfileFileTest, WritesKeepEveryOtherLine) {
  dir.Write("test.ini",
                 "; header comment\n"
                 "[Other]\n"
                 "b=other\n"
                 "\n"
                 "[Doved]\n"
                 "a=1\n"
                 "; note\n"
                 "b = 2\n"
                 "\n"
                 "[Last]\n"
                 "x=y\n");
  EXPECT_TRUE(WritePrivateProfileStringA("DOVED", "B", "20", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Doved", "c", "3", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("New", "k", "v", file.c_str()));
  EXPECT_EQ(dir.Read("test.ini"),
            "; header comment\r\n"
            "[Other]\r\n"
            "b=other\r\n"
            "\r\n"
            "[Doved]\r\n"
            "a=1\r\n"
            "; note\r\n"
            "b=20\r\n"
            "c=3\r\n"
            "\r\n"
            "[Last]\r\n"
            "x=y\r\n"
            "[New]\r\n"
            "k=v\r\n");
  EXPECT_EQ(NamesIn(dir.Path(".")), std::vector<std::string>{"test.ini"});
}

TEST_F(ProfileFileTest, CreatesTheFileAndDeletesKeysAndSections) {
  EXPECT_TRUE(WritePrivateProfileStringA("S", "gone", nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, file.c_str()));
  EXPECT_TRUE(NamesIn(dir.Path(".")).empty()) << "deleting from a missing file creates nothing";

  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", file.c_str()));
  EXPECT_EQ(dir.Read("test.ini"), "[S]\r\nk=v\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("S", "j", "w", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("T", "k", "t", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("s", "K", nullptr, file.c_str()));
  EXPECT_EQ(dir.Read("test.ini"), "[S]\r\nj=w\r\n[T]\r\nk=t\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("s", nullptr, nullptr, file.c_str()));
  EXPECT_EQ(dir.Read("test.ini"), "[T]\r\nk=t\r\n");
  EXPECT_EQ(NamesIn(dir.Path(".")), std::vector<std::string>{"test.ini"});
}

TEST_F(ProfileFileTest, RewriteKeepsTheFileMode) {
  dir.Write("test.ini", "[S]\nk=1\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "2", file.c_str()));
  struct stat info{};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ProfileFileTest, WriteIntoMissingDirectoryFails) {
  const std::string inside = dir.Path("missing/test.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", inside.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_TRUE(NamesIn(dir.Path(".")).empty());
}

TEST_F(ProfileFileTest, StructsRoundTripAsUppercaseHexWithChecksum) {
  const BYTE bytes[] = {0x00, 0xAB, 0x10, 0xFF};
  EXPECT_TRUE(WritePrivateProfileStructA("S", "data", bytes, sizeof bytes, file.c_str()));
  EXPECT_EQ(dir.Read("test.ini"), "[S]\r\ndata=00AB10FFBA\r\n");
  BYTE back[4] = {};
  EXPECT_TRUE(GetPrivateProfileStructA("s", "DATA", back, sizeof back, file.c_str()));
  EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);
}

TEST_F(ProfileFileTest, MalformedStructsLeaveTheBufferAlone) {
  dir.Write("test.ini",
                 "[S]\n"
                 "lower=00ab10ffba\n"
                 "short=00AB10BB\n"
                 "long=00AB10FF00BA\n"
                 "odd=00AB10FFBA0\n"
                 "sum=00AB10FFBB\n"
                 "digit=00AG10FFC1\n"
                 "sign=-0AB10FFBA\n");
  std::array<BYTE, 4> buffer;
  buffer.fill(0x5A);
  EXPECT_TRUE(GetPrivateProfileStructA("S", "lower", buffer.data(), 4, file.c_str()));
  EXPECT_EQ(buffer, (std::array<BYTE, 4>{0x00, 0xAB, 0x10, 0xFF}));
  for (const char* key : {"short", "long", "odd", "sum", "digit", "sign", "missing"}) {
    buffer.fill(0x5A);
    EXPECT_FALSE(GetPrivateProfileStructA("S", key, buffer.data(), 4, file.c_str())) << key;
    EXPECT_NE(GetLastError(), ERROR_SUCCESS) << key;
    EXPECT_EQ(buffer, (std::array<BYTE, 4>{0x5A, 0x5A, 0x5A, 0x5A})) << key;
  }
}

}  // namespace
