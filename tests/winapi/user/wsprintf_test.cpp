// wsprintfA: Windows' printf subset and its 1,024-byte limit.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
  char buffer[1024];
  int written = wsprintfA(buffer, format, args...);
  EXPECT_EQ(written, static_cast<int>(std::strlen(buffer))) << format;
  return buffer;
}

TEST(Wsprintf, FormatsWhatWindowsFormats) {
  EXPECT_EQ(Format("%s\\%s", "C:\\WINDOWS\\system32", "Standard-report.xml"),
            "C:\\WINDOWS\\system32\\Standard-report.xml");
  EXPECT_EQ(Format("[%c]", 'x'), "[x]");
  EXPECT_EQ(Format("%d %i %u", -42, 7, 0xFFFFFFFFu), "-42 7 4294967295");
  EXPECT_EQ(Format("%ld %lu", LONG{-1}, DWORD{3000000000u}), "-1 3000000000");
  EXPECT_EQ(Format("%08lX", DWORD{0xC00CE558}), "C00CE558");
  EXPECT_EQ(Format("%x %X %#x", 255, 255, 255), "ff FF 0xff");
  EXPECT_EQ(Format("%010ld", LONG{-1}), "-000000001");
  EXPECT_EQ(Format("[%5s|%-5s|%.2s]", "ab", "ab", "abcdef"), "[   ab|ab   |ab]");
  EXPECT_EQ(Format("[%-4d|%4d]", 12, 12), "[12  |  12]");
  EXPECT_EQ(Format("%I64u %I64X", 18446744073709551615ull, 0x123456789ABull), "18446744073709551615 123456789AB");
  EXPECT_EQ(Format("100%%"), "100%");
  EXPECT_EQ(Format("%s", static_cast<const char*>(nullptr)), "(null)");
  EXPECT_EQ(Format("%ls|%S", u"Gr\u00FC\u00DFe", u"x"), "Gr\xC3\xBC\xC3\x9F" "e|x");
}

TEST(Wsprintf, HasNoFloatingPointAndNoStarWidth) {
  // An unknown conversion prints its type letter and takes no argument.
  EXPECT_EQ(Format("%f|%s", "next"), "f|next");
  EXPECT_EQ(Format("%*d|%s", "next"), "*d|next");
  EXPECT_EQ(Format("%.2f"), "f");
  EXPECT_EQ(Format("tail%"), "tail");
}

TEST(Wsprintf, StopsAt1024BytesWithTheTerminator) {
  std::string longText(5000, 'a');
  char buffer[1024 + 16];
  std::memset(buffer, '#', sizeof(buffer));
  EXPECT_EQ(wsprintfA(buffer, "%s%s", longText.c_str(), "tail"), 1023);
  EXPECT_EQ(std::strlen(buffer), 1023u);
  EXPECT_EQ(buffer[1024], '#') << "nothing past the 1,024 bytes";

  std::string format(1500, 'b');
  EXPECT_EQ(wsprintfA(buffer, format.c_str()), 1023);
  EXPECT_EQ(wsprintfA(buffer, "%2000d", 5), 1023);
  EXPECT_EQ(buffer[1022], ' ');
}

TEST(Wsprintf, NullBuffersAndFormatsDoNotCrash) {
  EXPECT_EQ(wsprintfA(nullptr, "%s", "x"), 0);
  char buffer[8] = "xyz";
  EXPECT_EQ(wsprintfA(buffer, nullptr), 0);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
