#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/params_pattern.h"
#include "settings/settings.h"

namespace {

const std::string AllTags = "<len><start><vars><body><flag><attr>";

// The compiled text, or "REJECTED"; checks that the rest of the output is zero.
std::string Compile(const std::string& text) {
  char out[PatternSize];
  std::memset(out, 'x', sizeof out);
  const bool compiled = CompileParamsPattern(text.c_str(), out);
  const std::string result = out;
  EXPECT_EQ(std::string(out + result.size(), PatternSize - result.size()), std::string(PatternSize - result.size(), '\0'))
      << text;
  return compiled ? result : "REJECTED";
}

TEST(ParamsPatternTest, TagsBecomeCodesAndLiteralsStay) {
  EXPECT_EQ(Compile(AllTags), "\x01\x02\x03\x04\x05\x06");
  EXPECT_EQ(Compile(std::string(30, ' ') + "<len> <start> <vars> <body> <flag> <attr>"),
            std::string(30, ' ') + "\x01 \x02 \x03 \x04 \x05 \x06");
  EXPECT_EQ(Compile("L=<len>,S=<start>[<vars>]<body>~<flag>!<attr>'"), "L=\x01,S=\x02[\x03]\x04~\x05!\x06'");
}

TEST(ParamsPatternTest, RejectsMissingRepeatedOrMisorderedTags) {
  EXPECT_EQ(Compile(""), "REJECTED");
  EXPECT_EQ(Compile("<len><start><vars><body><flag>"), "REJECTED");
  EXPECT_EQ(Compile(AllTags + "<attr>"), "REJECTED");
  EXPECT_EQ(Compile("<start><len><vars><body><flag><attr>"), "REJECTED");
  EXPECT_EQ(Compile("<LEN><start><vars><body><flag><attr>"), "REJECTED");
  EXPECT_EQ(Compile("<len><start><vars><body><flag><attr"), "REJECTED");
  EXPECT_EQ(Compile("<" + AllTags), "REJECTED");
  EXPECT_EQ(Compile(AllTags + ">"), "REJECTED");
}

TEST(ParamsPatternTest, RejectsCharactersThatNamesCannotHold) {
  for (const char c : std::string(".\"<>|\\/?*:\x1f\x7f\x80\xff", 14)) {
    EXPECT_EQ(Compile(std::string("a") + c + AllTags), "REJECTED") << int(static_cast<unsigned char>(c));
    EXPECT_EQ(Compile(AllTags + c), "REJECTED") << int(static_cast<unsigned char>(c));
  }
  EXPECT_EQ(Compile("<len>\t<start><vars><body><flag><attr>"), "REJECTED");
  EXPECT_EQ(Compile(" ~" + AllTags), " ~\x01\x02\x03\x04\x05\x06");
}

TEST(ParamsPatternTest, AcceptsAtMost199Characters) {
  const std::string longest = AllTags + std::string(199 - AllTags.size(), 'z');
  EXPECT_EQ(Compile(longest), "\x01\x02\x03\x04\x05\x06" + std::string(199 - AllTags.size(), 'z'));
  EXPECT_EQ(Compile(longest + "z"), "REJECTED");
}

}  // namespace
