// The parse-error text and the error information installed from it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "errors/ParseErrorInfo.h"
#include "support/system_fixture.h"

namespace {

using systemtest::ComTest;
using systemtest::Narrow;

std::string Format(LONG code, const char* reason, const char* srcText, const char* url) {
  char text[kParseErrorTextSize];
  std::memset(text, 'x', sizeof text);
  FormatParseErrorText(text, code, 7, 2, 3, reason, srcText, url);
  return text;
}

TEST(ParseErrorText, PrintsSignedNumbersAndFallbacksForNullStrings) {
  EXPECT_EQ(
      "XMLDOM error accessing the DOM Object\n"
      "Error code\t\t\t= -1072896760\n"
      "File position\t\t= 7\n"
      "Line number\t\t\t= 2\n"
      "Position in line\t= 3\n"
      "Error reason\t\t= No reason given\n"
      "In the source of\t= No source text given\n"
      "URL = No URL given\n",
      Format(static_cast<LONG>(0xC00CE508), nullptr, nullptr, nullptr));
  // Empty strings that the parse error does give stay empty.
  EXPECT_NE(std::string::npos, Format(0, "", "", "").find("Error reason\t\t= \nIn the source of\t= \nURL = \n"));
}

TEST(ParseErrorText, SaysSoWhenNoParseErrorIsAvailable) {
  char text[kParseErrorTextSize];
  DescribeParseError(nullptr, text);
  EXPECT_STREQ("Error while validating the XML document\nBut could not retrieve any error information\n", text);
}

TEST(ParseErrorText, IsCutToItsBufferWithoutSplittingACharacter) {
  const std::string longUrl(1000, 'u');
  const std::string cut = Format(1, "r", "s", longUrl.c_str());
  EXPECT_EQ(kParseErrorTextSize - 1, cut.size());
  EXPECT_EQ(std::string::npos, cut.find('x'));

  // A two-byte character that the cut would halve is dropped whole.
  const std::string prefix = Format(1, "r", "s", "");
  std::string url(kParseErrorTextSize - 1 - prefix.size() + std::strlen("\n"), 'u');
  url.back() = '\xC3';
  url += "\xA9 tail";
  const std::string halved = Format(1, "r", "s", url.c_str());
  EXPECT_EQ(kParseErrorTextSize - 2, halved.size());
  EXPECT_EQ('u', halved.back());
}

class ParseErrorInfo : public ComTest {
 protected:
  // A node whose document failed to parse text.
  IXMLDOMNodePtr NodeOfFailedLoad(const char* text) {
    IXMLDOMDocument2Ptr doc = systemtest::LoadedDocument("<a/>");
    VARIANT_BOOL ok = VARIANT_TRUE;
    doc->loadXML(_bstr_t(text), &ok);
    EXPECT_EQ(VARIANT_FALSE, ok);
    IXMLDOMElementPtr element;
    doc->createElement(_bstr_t("n"), &element);
    return element;
  }

  static std::string Description(IErrorInfo* info) {
    _bstr_t description;
    info->GetDescription(description.GetAddress());
    return Narrow(description);
  }
};

TEST_F(ParseErrorInfo, DescribesTheDocumentsParseError) {
  IXMLDOMNodePtr node = NodeOfFailedLoad("<a><b></a>");
  SetParseErrorInfo(node, _com_error(E_FAIL));
  IErrorInfoPtr info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &info));
  const std::string text = Description(info);
  EXPECT_EQ(0u, text.find("XMLDOM error accessing the DOM Object\nError code\t\t\t= -1072"));
  EXPECT_NE(std::string::npos, text.find("URL = No URL given\n"));  // loadXML has no URL
  GUID guid{};
  info->GetGUID(&guid);
  EXPECT_TRUE(IsEqualGUID(GUID_NULL, guid));
  _bstr_t source;
  info->GetSource(source.GetAddress());
  EXPECT_EQ(0u, source.length());
}

TEST_F(ParseErrorInfo, TakesGuidAndSourceFromTheCaughtError) {
  ICreateErrorInfoPtr create;
  ASSERT_EQ(S_OK, CreateErrorInfo(&create));
  create->SetGUID(CLSID_DOMDocument60);
  IErrorInfoPtr carried = create;
  SetParseErrorInfo(NodeOfFailedLoad("<a><b></a>"), _com_error(E_FAIL, carried, true));
  IErrorInfoPtr info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &info));
  GUID guid{};
  info->GetGUID(&guid);
  EXPECT_TRUE(IsEqualGUID(CLSID_DOMDocument60, guid));
  _bstr_t source;
  info->GetSource(source.GetAddress());
  EXPECT_EQ("Msxml2.DOMDocument.6.0", Narrow(source));
}

TEST_F(ParseErrorInfo, NullNodeLeavesEarlierInformationInPlace) {
  ICreateErrorInfoPtr create;
  ASSERT_EQ(S_OK, CreateErrorInfo(&create));
  create->SetDescription(_bstr_t("earlier"));
  IErrorInfoPtr earlier = create;
  SetErrorInfo(0, earlier);
  SetParseErrorInfo(nullptr, _com_error(E_FAIL));
  IErrorInfoPtr info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &info));
  EXPECT_EQ("earlier", Description(info));
}

}  // namespace
