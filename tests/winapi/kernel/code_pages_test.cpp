// MultiByteToWideChar / WideCharToMultiByte between UTF-8 (also the system
// code page) and UTF-16.
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::u16string ToWide(const std::string& text, DWORD flags = 0) {
  int needed = MultiByteToWideChar(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string result(static_cast<size_t>(needed), u'\0');
  if (needed > 0)
    MultiByteToWideChar(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), result.data(), needed);
  return result;
}

TEST(CodePages, RoundTripsWithTerminatorsAndSurrogatePairs) {
  const char* text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9D\x84\x9E";  // "Grüße € 𝄞"
  const char16_t expected[] = u"Gr\u00FC\u00DFe \u20AC \U0001D11E";
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 11) << "with the terminator";
  WCHAR wide[11];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 11), 11);
  EXPECT_EQ(std::u16string(wide), expected);
  EXPECT_EQ(wide[8], 0xD834);
  EXPECT_EQ(wide[9], 0xDD1E);

  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 17);
  char narrow[17];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, narrow, 17, nullptr, nullptr), 17);
  EXPECT_STREQ(narrow, text);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 2, narrow, 16, nullptr, nullptr), 2) << "no terminator asked";
}

TEST(CodePages, TooSmallBuffersFailWithoutSplittingCharacters) {
  WCHAR wide[2];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 2), 0);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});

  const WCHAR euro[] = {0x20AC, 0};
  char narrow[2] = {'#', '#'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, euro, 1, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
  EXPECT_EQ(narrow[0], '#') << "three bytes do not go into two";
}

TEST(CodePages, IllFormedInputIsReplacedOrRefused) {
  EXPECT_EQ(ToWide("a\xC3(b"), u"a\uFFFD(b");
  EXPECT_EQ(ToWide("\xC0\xAF"), u"\uFFFD\uFFFD") << "overlong forms";
  EXPECT_EQ(ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogates";
  EXPECT_EQ(ToWide("x\xE2\x82"), u"x\uFFFD") << "a sequence cut off at the end";
  EXPECT_EQ(ToWide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD") << "beyond U+10FFFF";

  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_NO_UNICODE_TRANSLATION});

  const WCHAR lone[] = {u'a', 0xD800, u'b'};
  char narrow[8];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, 3, narrow, 8, nullptr, nullptr), 5);
  EXPECT_EQ(std::string(narrow, 5), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, narrow, 8, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_NO_UNICODE_TRANSLATION});
  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, 3, narrow, 8, nullptr, &usedDefault), 5);
  EXPECT_TRUE(usedDefault);
}

TEST(CodePages, BadArgumentsAreRefused) {
  WCHAR wide[4];
  char narrow[4];
  const WCHAR text[] = {u'a', 0};
  auto errorOf = [](int result) { return result == 0 ? GetLastError() : DWORD{0}; };
  EXPECT_EQ(errorOf(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 4)), DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_EQ(errorOf(MultiByteToWideChar(CP_UTF8, 0, "a", 0, wide, 4)), DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_EQ(errorOf(MultiByteToWideChar(CP_UTF8, 0, "a", -2, wide, 4)), DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_EQ(errorOf(MultiByteToWideChar(CP_UTF8, 0, "a", -1, nullptr, 4)), DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_EQ(errorOf(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", -1, wide, 4)), DWORD{ERROR_INVALID_FLAGS});
  EXPECT_EQ(errorOf(MultiByteToWideChar(1252, 0, "a", -1, wide, 4)), DWORD{ERROR_INVALID_PARAMETER});
  BOOL used;
  EXPECT_EQ(errorOf(WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, 4, nullptr, &used)),
            DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_EQ(errorOf(WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, text, -1, narrow, 4, nullptr, nullptr)),
            DWORD{ERROR_INVALID_FLAGS});
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "a", -1, wide, 4), 2) << "the system code page takes them";
}

}  // namespace
