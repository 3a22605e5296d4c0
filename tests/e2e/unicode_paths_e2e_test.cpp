// The host tool as Total Commander: the Unicode entry points wherever the
// plug-in exports them (the Windows build), the ANSI ones with --ansi. Every
// operation in a folder whose name an ASCII path would not hold gives the
// same entries and bytes as under an ASCII path, and the tape names read
// back with one "?" for each character beyond ASCII.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "helpers/file_contents.h"
#include "helpers/host_tool.h"

namespace {

struct UnicodeCase {
  const char* label;
  bool ansi;
  const char* folder;  // under the scratch directory; "/" parts nest
  const char* game;    // a source file whose tape name is not ASCII
  const char* listed;  // what it lists as: the tape name read back, escaped
  std::size_t imagePathLength;  // of the Windows form, in characters; 0 for any
};

// Cyrillic, Greek, CJK and an emoji: no code page holds them all, so the
// ANSI run uses names that Wine's code page here, 1252, holds.
constexpr char UnicodeFolder[] =
    "\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B \xCE\xA0\xCE\xB1\xCE\xB9\xCF\x87\xCE\xBD\xCE\xAF\xCE\xB4\xCE\xB9\xCE\xB1 "
    "\xE6\xB8\xB8\xE6\x88\xB2 \xF0\x9F\x8E\xAE";
constexpr char CyrillicGame[] = "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0.C";  // four letters
constexpr char CyrillicListed[] = "#3F#3F#3F#3F.C";

const UnicodeCase Cases[] = {
    {"Wide", false, UnicodeFolder, CyrillicGame, CyrillicListed, 0},
#ifdef DOVED_UNDER_WINE
    {"Ansi", true, "Spi\xC3\xA9le \xC3\xA0 \xE2\x82\xAC", "Jeu \xC3\xA9t\xC3\xA9.C", "Jeu #3Ft#3F.C", 0},
#else
    // The system's own encoding is UTF-8: the ANSI entry points take the same folder.
    {"Ansi", true, UnicodeFolder, CyrillicGame, CyrillicListed, 0},
#endif
    {"WideLongPath", false, "\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B", CyrillicGame, CyrillicListed, 300},
};

// The characters of a UTF-8 text; each of these paths' characters is one UTF-16 unit.
std::size_t Characters(const std::string& text) {
  std::size_t count = 0;
  for (const char byte : text) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
  return count;
}

// A listing without its dates: sizes and names, line by line.
std::string SizesAndNames(const std::string& listing) {
  std::istringstream lines(listing);
  std::string kept;
  constexpr std::size_t NameColumn = 10 + 1 + 10 + 2 + 16 + 2;
  for (std::string line; std::getline(lines, line);) {
    kept += line.substr(0, 21) + "|" + (line.size() > NameColumn ? line.substr(NameColumn) : "") + "\n";
  }
  return kept;
}

// Every file of a folder with its bytes.
std::string FolderContents(const std::string& folder) {
  std::string contents;
  for (const std::string& name : FilesIn(folder)) contents += name + "=" + FileBytes(folder + "/" + name) + "\n";
  return contents;
}

class UnicodePathsTest : public HostToolTest, public ::testing::WithParamInterface<UnicodeCase> {
 protected:
  // Runs every operation on an image in the folder named `part`, from sources
  // beside it; what each gave, for the comparison with an ASCII folder.
  std::string Operate(const std::string& part, const std::string& options) {
    // The folder nests `part` and the image's name grows until the image's
    // path has the case's length: a long path in parts that every file system takes.
    const std::size_t wanted = GetParam().imagePathLength;
    std::string folder = dir.Path(part);
    while (Characters(folder) + 40 < wanted) folder += "/" + part;
#ifdef DOVED_UNDER_WINE
    const std::size_t taken = Characters(folder) + 1 + 2 + 4;  // "Z:" before the path
#else
    const std::size_t taken = Characters(folder) + 1 + 4;
#endif
    const std::string image = folder + "/" + (wanted > taken ? std::string(wanted - taken, 'i') : "game") + ".tap";
    const std::string sources = folder + "/src";
    std::filesystem::create_directories(sources);
    StoreFile(sources + "/" + GetParam().game, "\x01\x02\x03");
    StoreFile(sources + "/hello.B", std::string("\x00\x0A\x05\x00\xF5\x22\x21\x22\x0D", 9));
    std::string outcome;
    const auto run = [&](const std::string& args) {
      const CommandResult result = Doved(options + args, true);
      outcome += args.substr(0, args.find(' ')) + " " + std::to_string(result.exitCode) + "\n";
      return result;
    };
    run("pack " + Quoted(image) + " --move -C " + Quoted(sources) + " " + Quoted(GetParam().game) + " hello.B");
    EXPECT_EQ(FilesIn(sources), std::vector<std::string>{}) << "moved";
    outcome += SizesAndNames(run("list " + Quoted(image)).output);
    run("test " + Quoted(image));
    run("extract " + Quoted(image) + " -o " + Quoted(folder + "/raw"));
    outcome += FolderContents(folder + "/raw");
    Configure("ExtractHobeta=1\r\n");
    run("extract " + Quoted(image) + " -o " + Quoted(folder + "/hobeta"));
    outcome += FolderContents(folder + "/hobeta");
    Configure("");
    const std::string deleted = run("delete " + Quoted(image) + " " + Quoted(std::string("000!   ") + GetParam().listed) + " nosuch").output;
    EXPECT_NE(deleted.find("doved: nosuch: not in "), std::string::npos) << deleted;
    outcome += SizesAndNames(run("list " + Quoted(image)).output);
    return outcome;
  }
};

TEST_P(UnicodePathsTest, EveryOperationGivesWhatAnAsciiPathGives) {
#ifndef DOVED_UNDER_WINE
  if (GetParam().imagePathLength > 0) {
    GTEST_SKIP() << "the Linux plug-in has the ANSI entry points alone, whose record holds 260 bytes";
  }
#endif
  const std::string options = GetParam().ansi ? "--ansi " : "";
  const std::string unicode = Operate(GetParam().folder, options);
  EXPECT_EQ(unicode, Operate("ascii", options));
  EXPECT_NE(unicode.find("|000!   " + std::string(GetParam().listed) + "\n"), std::string::npos) << unicode;
  EXPECT_NE(unicode.find("|001!   hello.B\n"), std::string::npos) << unicode;
  EXPECT_NE(unicode.find("delete 1\n"), std::string::npos) << unicode;
  EXPECT_EQ(unicode.find("Doved error"), std::string::npos) << unicode;
}

// An ANSI record holds 260 bytes: the long path is refused there, as before.
TEST_F(HostToolTest, AnAnsiHostIsRefusedAPathPastItsRecord) {
  std::string folder = dir.Path("");
  while (folder.size() < 300) folder += "/" + std::string(60, 'd');
  std::filesystem::create_directories(folder);
  StoreFile(folder + "/game.tap", "");
  const CommandResult refused = Doved("--ansi list " + Quoted(folder + "/game.tap"), true);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.output.find("Size"), std::string::npos) << refused.output;
  EXPECT_NE(refused.output.find("[Doved error] Archive path too long"), std::string::npos) << refused.output;
}

INSTANTIATE_TEST_SUITE_P(Hosts, UnicodePathsTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
