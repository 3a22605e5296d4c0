#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "helpers/child_process.h"
#include "helpers/dir_listing.h"
#include "helpers/file_contents.h"
#include "helpers/scratch_dir.h"
#include "os/os.h"

namespace {

const os::Methods& Os = os::Native;

os::ProfileValue Number(const char* key, std::uint32_t value) {
  return {key, os::ProfileValue::Kind::Number, value, nullptr, 0, false};
}

os::ProfileValue Bytes(const char* key, void* bytes, std::uint32_t size) {
  return {key, os::ProfileValue::Kind::Bytes, 0, bytes, size, false};
}

std::uint32_t IntAt(const std::string& path, const char* section, const char* key, int fallback) {
  os::ProfileValue value = Number(key, static_cast<std::uint32_t>(fallback));
  Os.ReadProfile(path.c_str(), section, &value, 1);
  return value.number;
}

bool StructAt(const std::string& path, const char* section, const char* key, void* out, std::uint32_t size) {
  os::ProfileValue value = Bytes(key, out, size);
  Os.ReadProfile(path.c_str(), section, &value, 1);
  return value.found;
}

std::uint32_t WriteAt(const std::string& path, const char* section, const char* key, std::uint32_t number) {
  const os::ProfileValue value = Number(key, number);
  return Os.WriteProfile(path.c_str(), section, &value, 1);
}

class OsProfileTest : public ::testing::Test {
 protected:
  std::uint32_t Int(const char* section, const char* key, int fallback) { return IntAt(file, section, key, fallback); }
  bool Write(const char* section, const char* key, std::uint32_t number) {
    return WriteAt(file, section, key, number) == 0;
  }
  ScratchDir dir;
  std::string file = dir.Path("test.ini");
};

TEST_F(OsProfileTest, ReadsIntegersLikeWindows) {
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
  EXPECT_EQ(Int("Doved", "number", 7), 42u);
  EXPECT_EQ(Int("DOVED", "neg", 7), static_cast<std::uint32_t>(-3));
  EXPECT_EQ(Int("Doved", "plus", 7), 12u);
  EXPECT_EQ(Int("Doved", "text", 7), 0u);
  EXPECT_EQ(Int("Doved", "empty", 7), 7u);
  EXPECT_EQ(Int("Doved", "blank", 7), 7u);
  EXPECT_EQ(Int("Doved", "last", 7), 5u);
  EXPECT_EQ(Int("Other", "number", 7), 99u);
  EXPECT_EQ(Int("Doved", "comment", -1), static_cast<std::uint32_t>(-1));
  EXPECT_EQ(Int("Doved", "missing", -1), static_cast<std::uint32_t>(-1));
  EXPECT_EQ(Int("Missing", "number", 7), 7u);
  EXPECT_EQ(IntAt(dir.Path("none.ini"), "Doved", "number", 7), 7u);
}

TEST_F(OsProfileTest, AByteOrderMarkIsSkippedAndKeptAndEveryLineEndEndsALine) {
  dir.Write("test.ini", "\xEF\xBB\xBF[S]\rcr=1\rcrlf=2\r\nlf=3\nlast=4");
  const char* const keys[] = {"cr", "crlf", "lf", "last"};
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(Int("S", keys[i], 0), i + 1) << keys[i];
  EXPECT_TRUE(Write("s", "lf", 5));
  EXPECT_EQ(dir.Read("test.ini"), "\xEF\xBB\xBF[S]\r\ncr=1\r\ncrlf=2\r\nlf=5\r\nlast=4\r\n");
}

// What is no settings file reads as none at once, without blocking, and a
// write refuses to replace it, with an error that tells why.
TEST_F(OsProfileTest, OnlyASmallRegularFileIsReadOrReplaced) {
  const struct {
    const char* name;
    bool settingsFirst;  // "k=5", then `make`
    int (*make)(const char* path);
    std::uint32_t read;  // k as read, 7 for none
    int error;
  } cases[] = {
      {"FIFO", false, [](const char* path) { return mkfifo(path, 0644); }, 7, ENOTSUP},
      {"device", false, [](const char* path) { return mknod(path, S_IFCHR | 0644, makedev(1, 3)); }, 7, ENOTSUP},
      {"directory", false, [](const char* path) { return mkdir(path, 0755); }, 7, EISDIR},
      {"200 MB", true, [](const char* path) { return truncate(path, 200 << 20); }, 7, EFBIG},
      {"64 KiB, no room", true, [](const char* path) { return truncate(path, 64 << 10); }, 5, EFBIG},
      {"read-only", true, [](const char* path) { return chmod(path, 0444); }, 5, EACCES},
  };
  for (const auto& each : cases) {
    const ScratchDir scratch;
    const std::string path = scratch.Path("test.ini");
    if (each.settingsFirst) StoreFile(path, "[S]\r\nk=5\r\n");
    if (each.make(path.c_str()) != 0) {
      EXPECT_EQ(errno, EPERM) << each.name << ": cannot be made";  // a device, without privileges
      continue;
    }
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const int outcome = RunInChildWithin(10, [&] {
      const bool read = IntAt(path, "S", "k", 7) == each.read;
      const bool refused = WriteAt(path, "S", "j", 1) == static_cast<std::uint32_t>(each.error);
      return (read ? 0 : 1) | (refused ? 0 : 2);
    });
    EXPECT_EQ(outcome, 0) << each.name << ": 1 the read, 2 the write's error, -1 a hang";
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_TRUE(after.st_ino == before.st_ino && after.st_size == before.st_size) << each.name;
    EXPECT_EQ(NamesIn(scratch.Path()), std::vector<std::string>{"test.ini"}) << each.name;
  }
}

TEST_F(OsProfileTest, AWriteRefusesAFileThatAnotherProcessHolds) {
  dir.Write("test.ini", "[S]\r\nk=1\r\n");
  const HoldingChild reader(file, os::Access::Read);
  ASSERT_TRUE(reader.Opened());
  EXPECT_EQ(WriteAt(file, "S", "k", 2), static_cast<std::uint32_t>(EWOULDBLOCK));
  EXPECT_EQ(dir.Read("test.ini"), "[S]\r\nk=1\r\n");
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"test.ini"});
}

TEST_F(OsProfileTest, WritesKeepEveryOtherLineAndLeaveNoTemporaryFile) {
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
  EXPECT_TRUE(Write("DOVED", "B", 20));
  EXPECT_TRUE(Write("Doved", "c", 3));
  EXPECT_TRUE(Write("New", "k", 4));
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
            "k=4\r\n");
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"test.ini"});
}

TEST_F(OsProfileTest, CreatesTheFileWithTheValuesInOrder) {
  const os::ProfileValue values[] = {Number("k", 1), Number("j", 4294967295u)};
  EXPECT_EQ(Os.WriteProfile(file.c_str(), "S", values, 2), 0u);
  EXPECT_EQ(dir.Read("test.ini"), "[S]\r\nk=1\r\nj=4294967295\r\n");
  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"test.ini"});
}

TEST_F(OsProfileTest, RewriteKeepsTheModeAndALinkStaysALink) {
  dir.Write("real.ini", "[S]\nk=1\n");
  ASSERT_EQ(chmod(dir.Path("real.ini").c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.ini", file.c_str()), 0);
  EXPECT_TRUE(Write("S", "k", 2));
  struct stat info {};
  ASSERT_EQ(lstat(file.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(dir.Path("real.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.Read("real.ini"), "[S]\r\nk=2\r\n");
}

TEST_F(OsProfileTest, WriteIntoAMissingDirectoryFailsAndMakesNothing) {
  EXPECT_EQ(WriteAt(dir.Path("missing/test.ini"), "S", "k", 1), static_cast<std::uint32_t>(ENOENT));
  EXPECT_TRUE(NamesIn(dir.Path()).empty());
}

// What a profile write needs of its directory: the right to make files there.
TEST_F(OsProfileTest, CanCreateInTellsWhereAWriteCanSucceed) {
  EXPECT_TRUE(Os.CanCreateIn(dir.Path().c_str()));
  EXPECT_FALSE(Os.CanCreateIn(dir.Path("missing").c_str()));
  EXPECT_FALSE(Os.CanCreateIn(""));

  const std::string locked = dir.Path("locked");
  ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  const std::string inside = locked + "/test.ini";
  const int outcome = RunUnprivileged([&]() -> int {
    const bool told = Os.CanCreateIn(locked.c_str());
    const bool wrote = WriteAt(inside, "Doved", "Key", 1) == 0;
    return (told ? 1 : 0) | (wrote ? 2 : 0);
  });
  EXPECT_EQ(outcome, 0) << "1: told that files can be made, 2: the write succeeded";
}

TEST_F(OsProfileTest, StructsRoundTripAsUppercaseHexWithChecksum) {
  const std::uint8_t bytes[] = {0x00, 0xAB, 0x10, 0xFF};
  const os::ProfileValue value = Bytes("data", const_cast<std::uint8_t*>(bytes), sizeof bytes);
  EXPECT_EQ(Os.WriteProfile(file.c_str(), "S", &value, 1), 0u);
  EXPECT_EQ(dir.Read("test.ini"), "[S]\r\ndata=00AB10FFBA\r\n");
  std::uint8_t back[4] = {};
  EXPECT_TRUE(StructAt(file, "s", "DATA", back, sizeof back));
  EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);
}

TEST_F(OsProfileTest, MalformedStructsLeaveTheBufferAlone) {
  dir.Write("test.ini",
            "[S]\n"
            "lower=00ab10ffba\n"
            "short=00AB10BB\n"
            "long=00AB10FF00BA\n"
            "odd=00AB10FFBA0\n"
            "sum=00AB10FFBB\n"
            "digit=00AG10FFC1\n"
            "sign=-0AB10FFBA\n");
  std::array<std::uint8_t, 4> buffer;
  buffer.fill(0x5A);
  EXPECT_TRUE(StructAt(file, "S", "lower", buffer.data(), 4));
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0x00, 0xAB, 0x10, 0xFF}));
  for (const char* key : {"short", "long", "odd", "sum", "digit", "sign", "missing"}) {
    buffer.fill(0x5A);
    EXPECT_FALSE(StructAt(file, "S", key, buffer.data(), 4)) << key;
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0x5A, 0x5A, 0x5A, 0x5A})) << key;
  }
}

// Each write reads, changes and replaces the whole file: without one write
// at a time, a thread replaces the file with a text that lacks the other's key.
TEST_F(OsProfileTest, WritesFromTwoThreadsKeepEveryKey) {
  constexpr int Keys = 20;
  const auto writeKeys = [this](const char* prefix) {
    for (int i = 0; i < Keys; ++i) {
      const std::string key = prefix + std::to_string(i);
      EXPECT_TRUE(Write("S", key.c_str(), 1));
    }
  };
  std::thread other([&] { writeKeys("b"); });
  writeKeys("a");
  other.join();
  for (int i = 0; i < Keys; ++i) {
    EXPECT_EQ(Int("S", ("a" + std::to_string(i)).c_str(), 0), 1u) << i;
    EXPECT_EQ(Int("S", ("b" + std::to_string(i)).c_str(), 0), 1u) << i;
  }
}

}  // namespace
