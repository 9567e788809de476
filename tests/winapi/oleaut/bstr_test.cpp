#include <gtest/gtest.h>
#include <oleauto.h>

#include <cstring>

namespace {

DWORD PrefixOf(BSTR s) {
  DWORD prefix;
  std::memcpy(&prefix, reinterpret_cast<const BYTE*>(s) - sizeof prefix, sizeof prefix);
  return prefix;
}

TEST(Bstr, PrefixHoldsByteLengthAndTextIsTerminated) {
  BSTR s = SysAllocString(OLESTR("abc"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(PrefixOf(s), 6u);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(SysStringByteLen(s), 6u);
  EXPECT_EQ(s[3], 0);
  SysFreeString(s);
}

TEST(Bstr, EmbeddedNulsAreKept) {
  const OLECHAR text[] = {'a', 0, 'b', 0, 'c'};
  BSTR s = SysAllocStringLen(text, 5);
  EXPECT_EQ(SysStringLen(s), 5u);
  EXPECT_EQ(std::memcmp(s, text, sizeof text), 0);
  EXPECT_EQ(s[5], 0);
  SysFreeString(s);
}

TEST(Bstr, LengthWithoutSourceGivesZeroedText) {
  BSTR s = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 4u);
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(s[i], 0);
  SysFreeString(s);

  BSTR empty = SysAllocStringLen(nullptr, 0);
  ASSERT_NE(empty, nullptr);  // an empty string, not a null one
  EXPECT_EQ(SysStringLen(empty), 0u);
  SysFreeString(empty);
}

TEST(Bstr, OddByteLengthsKeepEveryByteAndAWholeTerminator) {
  BSTR s = SysAllocStringByteLen("hello", 5);
  EXPECT_EQ(SysStringByteLen(s), 5u);
  EXPECT_EQ(SysStringLen(s), 2u);
  EXPECT_EQ(std::memcmp(s, "hello", 5), 0);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(s);
  EXPECT_EQ(bytes[5], 0);
  EXPECT_EQ(bytes[6], 0);
  SysFreeString(s);

  BSTR zeroed = SysAllocStringByteLen(nullptr, 3);
  EXPECT_EQ(SysStringByteLen(zeroed), 3u);
  EXPECT_EQ(std::memcmp(zeroed, "\0\0\0", 3), 0);
  SysFreeString(zeroed);
}

TEST(Bstr, ReallocationMayReadFromTheOldString) {
  BSTR s = SysAllocString(OLESTR("prefix-tail"));
  ASSERT_TRUE(SysReAllocString(&s, s + 7));
  EXPECT_EQ(SysStringLen(s), 4u);
  EXPECT_EQ(std::memcmp(s, OLESTR("tail"), 5 * sizeof(OLECHAR)), 0);

  ASSERT_TRUE(SysReAllocStringLen(&s, s, 2));
  EXPECT_EQ(SysStringLen(s), 2u);
  EXPECT_EQ(s[2], 0);

  ASSERT_TRUE(SysReAllocString(&s, nullptr));
  EXPECT_EQ(s, nullptr);
  EXPECT_FALSE(SysReAllocString(nullptr, OLESTR("x")));
}

TEST(Bstr, NullIsEmptyAndImpossibleLengthsAreRefused) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFF0u), nullptr);
}

}  // namespace
