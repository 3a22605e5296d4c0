// A name and a creation time carry a tape header through the file system:
// every entry of a generated image is listed and extracted by the built
// plug-in, the extracted files are packed back in listing order, and the new
// image must equal the old one byte for byte. The cases where the naming
// rules lose information are spelled out at the end, each with its reason.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "helpers/file_contents.h"
#include "helpers/plugin_copy.h"
#include "helpers/random_tape.h"

namespace {

using tap_builder::Bytes;
using tap_builder::DataBlock;
using tap_builder::HeaderBlock;
using tap_builder::Name;

constexpr std::uint32_t SeedsPerMode = 40;

struct Mode {
  const char* name;
  PluginConfig config;
  random_tape::Options options;
};

void PrintTo(const Mode& mode, std::ostream* out) { *out << mode.name; }

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Listing(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += "  \"" + name + "\"\n";
  return text;
}

// Extracts `image` with `plugin` and packs what came out into a new image.
struct RoundTrip {
  int extracted = -1;
  int packed = -1;
  std::vector<std::string> names;
  std::string image;
};

RoundTrip ExtractAndRepack(const PluginCopy& plugin, const ScratchDir& scratch, const std::string& tag, const Bytes& image) {
  RoundTrip trip;
  const std::string original = scratch.Path(tag + ".tap");
  const std::string files = scratch.Path(tag);
  const std::string repacked = scratch.Path(tag + "-repacked.tap");
  StoreFile(original, Text(image));
  mkdir(files.c_str(), 0755);
  trip.extracted = plugin.ExtractAll(original, files, trip.names);
  trip.packed = plugin.Pack(repacked, files, trip.names);
  trip.image = FileBytes(repacked);
  return trip;
}

class RoundTripTest : public ::testing::TestWithParam<Mode> {};

TEST_P(RoundTripTest, StandardTapesComeBackByteForByte) {
  const Mode& mode = GetParam();
  const PluginCopy plugin(mode.config);
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  ScratchDir scratch;
  for (std::uint32_t seed = 1; seed <= SeedsPerMode; ++seed) {
    const auto files = random_tape::Generate(seed, mode.options);
    const Bytes image = random_tape::Image(files);
    const RoundTrip trip = ExtractAndRepack(plugin, scratch, "seed" + std::to_string(seed), image);
    ASSERT_EQ(trip.extracted, 0) << "seed " << seed << "\n" << random_tape::Describe(files);
    ASSERT_EQ(trip.packed, 0) << "seed " << seed << "\n" << Listing(trip.names);
    if (trip.image == Text(image)) continue;
    std::size_t offset = 0;
    while (offset < trip.image.size() && offset < image.size() && trip.image[offset] == static_cast<char>(image[offset]))
      ++offset;
    ADD_FAILURE() << "seed " << seed << ": images differ from offset " << offset << " (" << image.size() << " bytes, "
                  << trip.image.size() << " repacked)\n"
                  << random_tape::Describe(files) << "listed as\n"
                  << Listing(trip.names);
  }
}

PluginConfig Plain(int numbering) {
  PluginConfig config;
  config.fileNameNumbering = numbering;
  return config;
}

PluginConfig Hobeta() {
  PluginConfig config;
  config.extractHobeta = true;
  config.smartLenDetect = true;
  return config;
}

PluginConfig Rarev(bool decimal, int pattern, int gap) {
  PluginConfig config;
  config.rarevCompatible = true;
  config.paramsInDecimal = decimal;
  config.paramsPatternN = pattern;
  config.paramsGap = gap;
  return config;
}

// Plain and hobeta names carry the name, the type and two header values:
// parameters beyond those and data flags other than 0xFF are left out (see
// the losses below). A hobeta file holds 8 name bytes and has no headerless form.
random_tape::Options Standard() { return {}; }
random_tape::Options HobetaShaped() {
  random_tape::Options options;
  options.headerless = false;
  options.maxNameLength = 8;
  return options;
}
// A BS-DOS parameter list names every header value and the data block's flag.
random_tape::Options Everything() {
  random_tape::Options options;
  options.anyParameters = true;
  options.customFlags = true;
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RoundTripTest,
    ::testing::Values(Mode{"Plain", Plain(0), Standard()}, Mode{"DecimalNumbering", Plain(2), Standard()},
                      Mode{"HexadecimalNumbering", Plain(1), Standard()},
                      Mode{"HobetaSmartLength", Hobeta(), HobetaShaped()},
                      Mode{"RarevHexadecimal", Rarev(false, 1, 1), Everything()},
                      Mode{"RarevDecimalSecondPatternGap3", Rarev(true, 2, 3), Everything()}),
    [](const ::testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

// Where the rules lose information. Each case packs back into a different
// image, and the test pins down exactly which.
class LossTest : public ::testing::Test {
 protected:
  std::string Repacked(const PluginConfig& config, const Bytes& image) {
    const PluginCopy plugin(config);
    EXPECT_TRUE(plugin.Loaded()) << plugin.Error();
    if (!plugin.Loaded()) return {};
    const RoundTrip trip = ExtractAndRepack(plugin, scratch_, "loss" + std::to_string(++count_), image);
    EXPECT_EQ(trip.extracted, 0);
    EXPECT_EQ(trip.packed, 0);
    return trip.image;
  }

  ScratchDir scratch_;
  int count_ = 0;
};

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(LossTest, HeaderWithoutDataBlockGainsAnEmptyOne) {
  // An extracted header alone is an empty file, and an empty file is packed
  // as a header with an empty data block: "no data" and "no bytes" look alike.
  const Bytes header = HeaderBlock(3, Name("lonely"), 0, 32768, 32768);
  const Bytes image = Concat({header, HeaderBlock(3, Name("next"), 1, 0, 32768), DataBlock({7})});
  const std::string expected = Text(Concat({header, DataBlock({}), HeaderBlock(3, Name("next"), 1, 0, 32768),
                                            DataBlock({7})}));
  EXPECT_EQ(Repacked(Plain(0), image), expected);
  EXPECT_EQ(Repacked(Rarev(false, 1, 1), image), expected);
}

TEST_F(LossTest, AutostartLineZeroComesBackAsNoAutostart) {
  // The trailer of an extracted program holds the autostart line, and line 0
  // stands for "none"; so do param1 values of 16384 and above.
  const Bytes program = Bytes(50, 0x2A);
  for (const std::uint16_t param1 : {0, 16384, 40000}) {
    const Bytes image = Concat({HeaderBlock(0, Name("start0"), 50, param1, 50), DataBlock(program)});
    const std::string expected = Text(Concat({HeaderBlock(0, Name("start0"), 50, 32768, 50), DataBlock(program)}));
    EXPECT_EQ(Repacked(Plain(0), image), expected) << param1;
    EXPECT_EQ(Repacked(Hobeta(), image), expected) << param1;
  }
}

TEST_F(LossTest, ProgramWhoseSecondParameterExceedsItsLengthLosesItsHeader) {
  // The time code is trusted for a program only when its program part lies
  // within its length; otherwise it is read the way other types store it.
  const Bytes program = Bytes(20, 0x11);
  const Bytes image = Concat({HeaderBlock(0, Name("odd"), 20, 10, 30), DataBlock(program)});
  // Extraction adds the autostart trailer; packing distrusts the pair, so the
  // trailer stays data and the pair is read as param1 20 and length 30.
  const Bytes trailer = {0x80, 0xAA, 10, 0};
  Bytes data = program;
  data.insert(data.end(), trailer.begin(), trailer.end());
  EXPECT_EQ(Repacked(Plain(0), image), Text(Concat({HeaderBlock(0, Name("odd"), 30, 20, 32768), DataBlock(data)})));
}

TEST_F(LossTest, SecondParameterOfOtherTypesIsAlways32768) {
  // Names and time codes carry two header values; for code and arrays these
  // are length and param1.
  const Bytes image = Concat({HeaderBlock(3, Name("code"), 2, 16384, 1234), DataBlock({1, 2})});
  const std::string expected = Text(Concat({HeaderBlock(3, Name("code"), 2, 16384, 32768), DataBlock({1, 2})}));
  EXPECT_EQ(Repacked(Plain(0), image), expected);
  EXPECT_EQ(Repacked(Hobeta(), image), expected);
  EXPECT_EQ(Repacked(Rarev(false, 1, 1), image), Text(image));
}

TEST_F(LossTest, DataFlagSurvivesOnlyInParameterLists) {
  const Bytes image = Concat({HeaderBlock(3, Name("turbo"), 2, 16384, 32768), DataBlock({1, 2}, 0x42)});
  const std::string expected = Text(Concat({HeaderBlock(3, Name("turbo"), 2, 16384, 32768), DataBlock({1, 2})}));
  EXPECT_EQ(Repacked(Plain(0), image), expected);
  EXPECT_EQ(Repacked(Hobeta(), image), expected);
  EXPECT_EQ(Repacked(Rarev(false, 1, 1), image), Text(image));

  // A headerless block has no parameter list in any mode: its flag becomes 0xFF.
  const Bytes headerless = DataBlock({3, 4}, 0x42);
  EXPECT_EQ(Repacked(Plain(0), headerless), Text(DataBlock({3, 4})));
  EXPECT_EQ(Repacked(Rarev(false, 1, 1), headerless), Text(DataBlock({3, 4})));
}

TEST_F(LossTest, HobetaFilesKeepEightNameBytesAndHaveNoHeaderlessForm) {
  // A hobeta header holds 8 name bytes; a headerless block extracts as a
  // "dataN" code file, which is packed back as one with a header.
  const Bytes image = Concat({HeaderBlock(3, Name("ninechars"), 1, 0, 32768), DataBlock({5}), DataBlock({6, 6})});
  const std::string expected = Text(Concat({HeaderBlock(3, Name("ninechar"), 1, 0, 32768), DataBlock({5}),
                                            HeaderBlock(3, Name("data1"), 2, 0, 32768), DataBlock({6, 6})}));
  EXPECT_EQ(Repacked(Hobeta(), image), expected);
}

}  // namespace
