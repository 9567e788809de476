// The bounded formatter for fixed buffers: printf's formats, always
// terminated, cut and never overflowing.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <qzwin/format.h>

namespace {

TEST(FormatBounded, FormatsLikePrintfWhenItFits) {
  char buffer[64];
  EXPECT_EQ(qzwin::FormatBounded(buffer, "%s\\%s", "C:\\WINDOWS\\system32", "qzschemaerr.htm"), 35);
  EXPECT_STREQ(buffer, "C:\\WINDOWS\\system32\\qzschemaerr.htm");
  EXPECT_EQ(qzwin::FormatBounded(buffer, "%08lX %.1f", 0xC00CE558ul, 2.5), 12);
  EXPECT_STREQ(buffer, "C00CE558 2.5");
}

TEST(FormatBounded, CutsAtTheBufferAndReportsWhatItWrote) {
  char buffer[8 + 4];
  std::memset(buffer, '#', sizeof(buffer));
  char* text = buffer;
  EXPECT_EQ(qzwin::FormatBounded(text, 8, "%s", "0123456789"), 7);
  EXPECT_STREQ(buffer, "0123456");
  EXPECT_EQ(buffer[8], '#') << "nothing past the size given";

  char exact[5];
  EXPECT_EQ(qzwin::FormatBounded(exact, "%d", 1234), 4);
  EXPECT_EQ(qzwin::FormatBounded(exact, "%d", 12345), 4);
  EXPECT_STREQ(exact, "1234");

  std::string huge(100000, 'x');
  char path[260];
  EXPECT_EQ(qzwin::FormatBounded(path, "x-schema:%s", huge.c_str()), 259);
  EXPECT_EQ(std::strlen(path), 259u);
}

TEST(FormatBounded, EmptyOrMissingBuffersAreLeftAlone) {
  char one = '#';
  EXPECT_EQ(qzwin::FormatBounded(&one, 0, "%s", "abc"), 0);
  EXPECT_EQ(one, '#');
  EXPECT_EQ(qzwin::FormatBounded(nullptr, 10, "%s", "abc"), 0);
  EXPECT_EQ(qzwin::FormatBounded(&one, 1, "%s", "abc"), 0);
  EXPECT_EQ(one, '\0');
}

}  // namespace
