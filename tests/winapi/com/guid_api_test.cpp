// GUIDs as text, and ProgIDs through the registry.
#include <string>

#include <gtest/gtest.h>
#include <objbase.h>

#include "com_test_support.h"

namespace {

// {AEFFB600-A7EE-477B-8E63-2E84D27581AF}
constexpr CLSID kClsid = {0xAEFFB600, 0xA7EE, 0x477B, {0x8E, 0x63, 0x2E, 0x84, 0xD2, 0x75, 0x81, 0xAF}};
constexpr CLSID kJunk = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};

TEST(GuidStrings, AreUpperCaseInBracesAndRoundTrip) {
  OLECHAR text[CHARS_IN_GUID];
  text[0] = u'#';
  EXPECT_EQ(StringFromGUID2(kClsid, text, CHARS_IN_GUID - 1), 0);
  EXPECT_EQ(text[0], u'#');
  EXPECT_EQ(StringFromGUID2(kClsid, text, CHARS_IN_GUID), CHARS_IN_GUID);
  EXPECT_EQ(std::u16string(text), u"{AEFFB600-A7EE-477B-8E63-2E84D27581AF}");

  CLSID back = kJunk;
  EXPECT_EQ(IIDFromString(OLESTR("{aeffb600-a7ee-477b-8e63-2e84d27581af}"), &back), S_OK);
  EXPECT_EQ(back, kClsid);
}

TEST(GuidStrings, BadTextIsRefused) {
  const OLECHAR* bad[] = {
      OLESTR("AEFFB600-A7EE-477B-8E63-2E84D27581AF"),     // no braces
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D27581AF}x"),  // trailing text
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D27581AG}"),   // not a hex digit
      OLESTR("{AEFFB600A-7EE-477B-8E63-2E84D27581AF}"),   // misplaced dash
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D275}"),       // short
      OLESTR(""),
  };
  for (const OLECHAR* text : bad) {
    CLSID clsid = kJunk;
    EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, GUID_NULL);
  }
  IID iid = kJunk;
  EXPECT_EQ(IIDFromString(bad[2], &iid), CO_E_IIDSTRING);
  EXPECT_EQ(IIDFromString(bad[1], &iid), E_INVALIDARG);  // wrong length
  EXPECT_EQ(IIDFromString(nullptr, &iid), S_OK);
  EXPECT_EQ(iid, GUID_NULL);
}

TEST(ProgIds, AreLookedUpBothWaysInTheRegistry) {
  comtest::SetClassesRootString("CLSID\\{AEFFB600-A7EE-477B-8E63-2E84D27581AF}\\ProgID", nullptr, "Test.Service.1");
  comtest::SetClassesRootString("Test.Service.1\\CLSID", nullptr, "{AEFFB600-A7EE-477B-8E63-2E84D27581AF}");
  comtest::SetClassesRootString("Test.Broken\\CLSID", nullptr, "not a guid");

  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kClsid, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Test.Service.1");
  CoTaskMemFree(progId);
  EXPECT_EQ(ProgIDFromCLSID(GUID_NULL, &progId), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(progId, nullptr);

  CLSID clsid = kJunk;
  EXPECT_EQ(CLSIDFromString(OLESTR("Test.Service.1"), &clsid), S_OK);  // a ProgID is accepted too
  EXPECT_EQ(clsid, kClsid);
  EXPECT_EQ(CLSIDFromProgID(OLESTR("Test.Unknown"), &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(OLESTR("Test.Broken"), &clsid), CO_E_CLASSSTRING);
}

}  // namespace
