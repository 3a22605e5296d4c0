// Packing into and deleting from TZX images as the host calls it: a delete
// cuts out its entries' data blocks and nothing else, packing appends
// standard speed data blocks and changes nothing before the old end.
#include <gtest/gtest.h>

#include "helpers/pack_session.h"
#include "helpers/tzx_builder.h"

namespace {

using pack_test::AsText;
using pack_test::Pack;
using pack_test::WriteSource;
using tap_builder::Bytes;
using tap_builder::Concat;

// What packing "a.C" holding "abc" adds, as TAP blocks.
const Bytes PackedTap = Concat({tap_builder::HeaderBlock(3, "a", 3, 0, 32768), tap_builder::DataBlock({'a', 'b', 'c'})});

// The same as 0x10 blocks behind a TZX header.
Bytes PackedTzx() { return tzx_builder::FromTap(PackedTap); }
Bytes WithoutHeader(const Bytes& tzx) { return Bytes(tzx.begin() + 10, tzx.end()); }

class TzxModifyTest : public pack_test::PackingTest {
 protected:
  void SetUp() override {
    UseSettings(UnnumberedSettings());
    WriteSource(Source("a.C"), "abc");
  }

  int Delete(const std::string& path, const std::string& name) {
    std::string image = path, list = name + '\0' + '\0';
    return DeleteFiles(image.data(), list.data());
  }
};

TEST_F(TzxModifyTest, DeletingAnEntryCutsOutItsDataBlocksAndKeepsEveryOtherByte) {
  const tzx_builder::Image built = tzx_builder::EveryKindImage();
  struct Case {
    const char* name;
    std::size_t firstBlock, blocks;  // its data blocks among the builder's
  };
  for (const Case& c : {Case{"loader.B", 0, 2}, Case{"turbo.C", 2, 2}, Case{"data1", 4, 1}, Case{"alone.C", 5, 1}}) {
    SCOPED_TRACE(c.name);
    StoreFile(ImagePath(), AsText(built.bytes));
    ASSERT_EQ(Delete(ImagePath(), c.name), 0);
    Bytes expected = built.bytes;
    for (std::size_t i = c.firstBlock + c.blocks; i-- > c.firstBlock;) {
      const auto [start, end] = built.dataBlocks[i];
      expected.erase(expected.begin() + start, expected.begin() + end);
    }
    EXPECT_EQ(FileBytes(ImagePath()), AsText(expected));
  }
}

// Also behind a last block without a pause, which stays as it is.
TEST_F(TzxModifyTest, PackingAppendsStandardBlocksBehindEverythingThere) {
  const Bytes lastWithoutPause =
      Concat({tzx_builder::Header(1, 13), tzx_builder::DataBlock(tzx_builder::DataKind::Standard, PackedTap, 0)});
  for (const Bytes& before : {tzx_builder::EveryKindImage().bytes, lastWithoutPause}) {
    StoreFile(ImagePath(), AsText(before));
    ASSERT_EQ(Pack(ImagePath(), SourceDir(), {"a.C"}), 0);
    EXPECT_EQ(FileBytes(ImagePath()), AsText(Concat({before, WithoutHeader(PackedTzx())})));
  }
}

// The name rule itself is TzxScanTest's; here a missing file and an empty
// one take it alike.
TEST_F(TzxModifyTest, AnImageWithoutBytesTakesItsFormatFromItsName) {
  for (const auto& [name, tzx] : {std::pair{"new.tzx", true}, {"empty.tzx", true}, {"new.tap", false}}) {
    SCOPED_TRACE(name);
    if (std::string(name) == "empty.tzx") StoreFile(Source(name), "");
    ASSERT_EQ(Pack(Source(name), SourceDir(), {"a.C"}), 0);
    EXPECT_EQ(FileBytes(Source(name)), AsText(tzx ? PackedTzx() : PackedTap));
  }
}

TEST_F(TzxModifyTest, ATzxThatIsNotWholeOrOfAnotherVersionIsLeftAlone) {
  const Bytes whole = PackedTzx();
  struct Case {
    const char* what;
    Bytes image;
    int code;
  };
  const Case cases[] = {
      {"last block cut short", Bytes(whole.begin(), whole.end() - 1), E_BAD_ARCHIVE},
      {"header cut short", Bytes(whole.begin(), whole.begin() + 9), E_BAD_ARCHIVE},
      {"a text block cut short", Concat({whole, Bytes{0x30, 5, 'a'}}), E_BAD_ARCHIVE},
      {"major version 2", Concat({tzx_builder::Header(2, 0), WithoutHeader(whole)}), E_UNKNOWN_FORMAT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreFile(ImagePath(), AsText(c.image));
    EXPECT_EQ(Pack(ImagePath(), SourceDir(), {"a.C"}), c.code);
    EXPECT_EQ(FileBytes(ImagePath()), AsText(c.image));
    EXPECT_EQ(Delete(ImagePath(), "a.C"), c.code);
    EXPECT_EQ(FileBytes(ImagePath()), AsText(c.image));
  }
}

}  // namespace
