// GUIDs as text, and ProgIDs through the registry.
#include <string>

#include <gtest/gtest.h>
#include <objbase.h>
#include <qzwin/com.h>

#include "com_test_support.h"

namespace {

// {AEFFB600-A7EE-477B-8E63-2E84D27581AF}
constexpr CLSID kClsid = {0xAEFFB600, 0xA7EE, 0x477B, {0x8E, 0x63, 0x2E, 0x84, 0xD2, 0x75, 0x81, 0xAF}};
// {7D4C2B10-0E3F-4A5B-9C6D-7E8F90A1B2C3}
constexpr CLSID kBuiltinClsid = {0x7D4C2B10, 0x0E3F, 0x4A5B, {0x9C, 0x6D, 0x7E, 0x8F, 0x90, 0xA1, 0xB2, 0xC3}};
constexpr CLSID kJunk = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};

HRESULT NoClassObject(REFIID, void** ppv) {
  *ppv = nullptr;
  return E_NOTIMPL;
}

TEST(GuidStrings, AreUpperCaseInBracesAndRoundTrip) {
  OLECHAR text[CHARS_IN_GUID + 1];
  text[CHARS_IN_GUID] = u'#';
  EXPECT_EQ(StringFromGUID2(kClsid, text, CHARS_IN_GUID), CHARS_IN_GUID);
  EXPECT_EQ(std::u16string(text), u"{AEFFB600-A7EE-477B-8E63-2E84D27581AF}");
  EXPECT_EQ(text[CHARS_IN_GUID], u'#');

  text[0] = u'#';
  EXPECT_EQ(StringFromGUID2(kClsid, text, CHARS_IN_GUID - 1), 0);
  EXPECT_EQ(text[0], u'#');

  LPOLESTR allocated = nullptr;
  ASSERT_EQ(StringFromIID(kClsid, &allocated), S_OK);
  CLSID back = kJunk;
  EXPECT_EQ(CLSIDFromString(allocated, &back), S_OK);
  EXPECT_EQ(back, kClsid);
  CoTaskMemFree(allocated);

  back = kJunk;
  EXPECT_EQ(IIDFromString(OLESTR("{aeffb600-a7ee-477b-8e63-2e84d27581af}"), &back), S_OK);
  EXPECT_EQ(back, kClsid);
}

TEST(GuidStrings, BadTextIsRefused) {
  const OLECHAR* bad[] = {
      OLESTR(""),
      OLESTR("AEFFB600-A7EE-477B-8E63-2E84D27581AF"),     // no braces
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D27581AF"),    // no closing brace
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D27581AF}x"),  // trailing text
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D27581AG}"),   // not a hex digit
      OLESTR("{AEFFB600A-7EE-477B-8E63-2E84D27581AF}"),   // misplaced dash
      OLESTR("{AEFFB600-A7EE-477B-8E63-2E84D275}"),       // short
  };
  for (const OLECHAR* text : bad) {
    CLSID clsid = kJunk;
    EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING) << std::string(text, text + 1);
    EXPECT_EQ(clsid, GUID_NULL);
  }

  IID iid = kJunk;
  EXPECT_EQ(IIDFromString(bad[4], &iid), CO_E_IIDSTRING);
  EXPECT_EQ(IIDFromString(bad[1], &iid), E_INVALIDARG);  // wrong length
  EXPECT_EQ(IIDFromString(bad[3], &iid), E_INVALIDARG);

  // A null text is GUID_NULL.
  iid = kJunk;
  EXPECT_EQ(IIDFromString(nullptr, &iid), S_OK);
  EXPECT_EQ(iid, GUID_NULL);
  EXPECT_EQ(CLSIDFromString(bad[0], nullptr), E_INVALIDARG);
}

TEST(ProgIds, AreLookedUpBothWaysInTheRegistry) {
  comtest::SetClassesRootString("CLSID\\{AEFFB600-A7EE-477B-8E63-2E84D27581AF}\\ProgID", nullptr, "Test.Service.1");
  comtest::SetClassesRootString("Test.Service.1\\CLSID", nullptr, "{AEFFB600-A7EE-477B-8E63-2E84D27581AF}");
  comtest::SetClassesRootString("Test.Broken\\CLSID", nullptr, "not a guid");

  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kClsid, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Test.Service.1");
  CoTaskMemFree(progId);

  CLSID clsid = kJunk;
  EXPECT_EQ(CLSIDFromProgID(OLESTR("Test.Service.1"), &clsid), S_OK);
  EXPECT_EQ(clsid, kClsid);
  clsid = kJunk;
  EXPECT_EQ(CLSIDFromString(OLESTR("Test.Service.1"), &clsid), S_OK);  // a ProgID is accepted too
  EXPECT_EQ(clsid, kClsid);

  EXPECT_EQ(CLSIDFromProgID(OLESTR("Test.Unknown"), &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(OLESTR("Test.Broken"), &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromString(OLESTR("Test.Unknown"), &clsid), CO_E_CLASSSTRING);

  OLECHAR untouched[] = OLESTR("untouched");
  progId = untouched;
  EXPECT_EQ(ProgIDFromCLSID(kJunk, &progId), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(progId, nullptr);
  EXPECT_EQ(ProgIDFromCLSID(GUID_NULL, &progId), REGDB_E_CLASSNOTREG);
}

TEST(ProgIds, OfBuiltInClassesAnswerWhenTheRegistryHasNone) {
  qzwin::RegisterBuiltinClass(kBuiltinClsid, NoClassObject, OLESTR("Builtin.Thing.6.0"));
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kBuiltinClsid, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Builtin.Thing.6.0");
  CoTaskMemFree(progId);
  CLSID clsid = kJunk;
  EXPECT_EQ(CLSIDFromProgID(OLESTR("builtin.thing.6.0"), &clsid), S_OK);
  EXPECT_EQ(clsid, kBuiltinClsid);
}

}  // namespace
