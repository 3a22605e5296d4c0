#include <gtest/gtest.h>

#include "helpers/fault_os.h"
#include "support/ansi_string.h"

namespace {

class StringTest : public ::testing::Test {
 protected:
  fault_os::FaultyOs faults;
};

TEST_F(StringTest, ReserveAddsSlackAndDoubles) {
  String a;
  ASSERT_TRUE(a.Reserve(50).IsOk());
  EXPECT_EQ(a.capacity, 79u);

  String b;
  ASSERT_TRUE(b.Reserve(1).IsOk());
  EXPECT_EQ(b.capacity, 31u);
  ASSERT_TRUE(b.Reserve(32).IsOk());
  EXPECT_EQ(b.capacity, 95u);
  ASSERT_TRUE(b.Reserve(20).IsOk());
  EXPECT_EQ(b.capacity, 95u);
}

TEST_F(StringTest, AppendingCharactersReallocatesAtTheDocumentedLengths) {
  String s;
  std::vector<std::uint32_t> reallocatedAt;
  std::vector<std::uint32_t> capacities;
  std::uint32_t lastCapacity = 0;
  for (std::uint32_t i = 0; i < 1000; ++i) {
    ASSERT_TRUE(s.AppendChar(static_cast<char>('a' + i % 26)).IsOk());
    if (s.capacity != lastCapacity) {
      reallocatedAt.push_back(s.length);
      capacities.push_back(s.capacity);
      lastCapacity = s.capacity;
    }
  }
  EXPECT_EQ(reallocatedAt, (std::vector<std::uint32_t>{1, 32, 96, 224, 480, 992}));
  EXPECT_EQ(capacities, (std::vector<std::uint32_t>{31, 95, 223, 479, 991, 2015}));
  EXPECT_EQ(std::string(s.CStr()).substr(0, 3), "abc");
}

TEST_F(StringTest, CStrOfANeverReservedStringDoesNotAllocate) {
  String s;
  EXPECT_STREQ(s.CStr(), "");
  EXPECT_EQ(s.data, nullptr);
  ASSERT_TRUE(s.Append("").IsOk());
  EXPECT_STREQ(s.CStr(), "");
}

TEST_F(StringTest, AppendPathJoinsWithExactlyOneSeparator) {
  const struct {
    const char* base;
    const char* component;
    const char* joined;
  } cases[] = {
      {"x", "dir", "x\\dir"},  {"x\\", "dir", "x\\dir"},  {"x/", "dir", "x/dir"},
      {"x", "\\dir", "x\\dir"}, {"x", "/dir", "x\\dir"}, {"", "dir", "dir"},
      {"", "\\dir", "dir"},     {"x\\", "\\\\dir", "x\\\\dir"},
  };
  for (const auto& c : cases) {
    String s;
    ASSERT_TRUE(s.Append(c.base).IsOk());
    ASSERT_TRUE(s.AppendPath(c.component).IsOk());
    EXPECT_STREQ(s.CStr(), c.joined) << c.base << " + " << c.component;
  }
}

TEST_F(StringTest, RemoveChecksItsRange) {
  String four;
  ASSERT_TRUE(four.Append("abcd").IsOk());
  const Status refused = four.Remove(2, 3);
  EXPECT_TRUE(refused.IsFailed());
  EXPECT_STREQ(refused.message, "Invalid args of String.Remove operation");
  EXPECT_STREQ(four.CStr(), "abcd");
  EXPECT_TRUE(four.Remove(0x7FFFFFFB, 0).IsFailed());

  String five;
  ASSERT_TRUE(five.Append("abcde").IsOk());
  ASSERT_TRUE(five.Remove(2, 3).IsOk());
  EXPECT_STREQ(five.CStr(), "ab");

  String middle;
  ASSERT_TRUE(middle.Append("abcdefg").IsOk());
  ASSERT_TRUE(middle.Remove(1, 3).IsOk());
  EXPECT_STREQ(middle.CStr(), "aefg");
}

TEST_F(StringTest, FailuresLeaveTheStringAsItWas) {
  String s;
  ASSERT_TRUE(s.Reserve(1).IsOk());
  ASSERT_TRUE(s.Append("0123456789012345678901234567890").IsOk());  // fills capacity 31
  ASSERT_EQ(s.capacity, 31u);
  faults.FailNth(fault_os::Op::Reallocate, 1);
  const Status failed = s.Append("more");
  EXPECT_EQ(HostCode(failed), E_NO_MEMORY);
  EXPECT_EQ(s.length, 31u);
  EXPECT_EQ(s.capacity, 31u);
  EXPECT_STREQ(s.CStr(), "0123456789012345678901234567890");

  const Status tooLong = s.Reserve(0x7FFFFFFB);
  EXPECT_STREQ(tooLong.message, "Capacity of string is too large");
  EXPECT_EQ(s.capacity, 31u);

  faults.FailNth(fault_os::Op::Allocate, 1);
  String fresh;
  EXPECT_EQ(HostCode(fresh.AppendChar('x')), E_NO_MEMORY);
  EXPECT_EQ(fresh.data, nullptr);
  EXPECT_EQ(fresh.length, 0u);
}

TEST_F(StringTest, TextNearTheLimitIsRefusedBeforeAllocating) {
  String s;
  s.length = String::MaxCapacity;  // pretend: only the count matters before Reserve
  const Status refused = s.AppendChar('x');
  EXPECT_STREQ(refused.message, "Capacity of string is too large");
  s.length = 0;
}

TEST_F(StringTest, AppendBytesKeepsNulsAndRefusesPastTheLimit) {
  String s;
  ASSERT_TRUE(s.AppendBytes("ab\0cd", 5).IsOk());
  ASSERT_TRUE(s.AppendBytes("ignored", 0).IsOk());
  ASSERT_TRUE(s.AppendBytes("e", 1).IsOk());
  EXPECT_EQ(std::string(s.CStr(), s.length), std::string("ab\0cde", 6));

  faults.FailNth(fault_os::Op::Reallocate, 1);
  const std::string tail(40, 'x');  // past capacity 31: the buffer must grow
  EXPECT_EQ(HostCode(s.AppendBytes(tail.data(), static_cast<std::uint32_t>(tail.size()))), E_NO_MEMORY);
  EXPECT_EQ(s.length, 6u);

  const std::uint32_t length = s.length;
  s.length = String::MaxCapacity - 1;  // pretend: only the count matters before Reserve
  EXPECT_STREQ(s.AppendBytes("xy", 2).message, "Capacity of string is too large");
  EXPECT_EQ(s.length, String::MaxCapacity - 1);
  s.length = length;
}

TEST(StringDeathTest, DamagedTagStopsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        String s;
        s.tag = 0;
        s.Clear();
      },
      "");
}

}  // namespace
