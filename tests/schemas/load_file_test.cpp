// Loading files through the document holder: what reaches the parser, and
// every way a load fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_root.h"

#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"
#include "support/system_fixture.h"

namespace {

using systemtest::ComTest;
using systemtest::Narrow;
using systemtest::WriteFile;
using systemtest::XmlOf;

class LoadFile : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_EQ(S_OK, CreateDocument(&doc_));
    ASSERT_EQ(S_OK, holder_.SetDocument(doc_));
  }

  // Writes bytes to a file and loads it into the holder.
  HRESULT Load(const std::string& bytes) {
    const std::string path = WriteFile(dir_ / "doc.xml", bytes).string();
    return holder_.LoadFile(path.c_str());
  }

  IXMLDOMElementPtr Root() {
    IXMLDOMElementPtr root;
    EXPECT_EQ(S_OK, doc_->get_documentElement(&root));
    return root;
  }
  std::string RootNamespace() {
    _bstr_t uri;
    if (IXMLDOMElementPtr root = Root()) root->get_namespaceURI(uri.GetAddress());
    return Narrow(uri);
  }

  std::filesystem::path dir_ = qztest::FreshDirectory("load");
  IXMLDOMDocument2Ptr doc_;
  CXMLDocument holder_;
};

TEST_F(LoadFile, HandsTheRewrittenTextToTheParser) {
  ASSERT_EQ(S_OK, Load("<r xmlns=\"x-schema:C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\" xmlns=\"\"><e/></r>"));
  EXPECT_EQ("x-schema:Tavel-basic-datatypes.xml", RootNamespace());
}

TEST_F(LoadFile, ReadsSixteenBitTextWhole) {
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("<r xmlns=\"x-schema:D:\\a\\b\\c.xml\"><e>text</e></r>")) {
    bytes += c;
    bytes += '\0';
  }
  ASSERT_EQ(S_OK, Load(bytes));
  EXPECT_EQ("x-schema:c.xml", RootNamespace());
  _bstr_t text;
  Root()->get_text(text.GetAddress());
  EXPECT_EQ("text", Narrow(text));

  // The parser gets the bytes read and no more: an odd last byte is not
  // made into a character with the zero byte after the text.
  bytes.resize(bytes.size() - 8);  // without "</r>", then a lone byte
  ASSERT_LT(Load(bytes + "x"), 0);
  IXMLDOMParseErrorPtr error;
  ASSERT_EQ(S_OK, doc_->get_parseError(&error));
  _bstr_t source;
  error->get_srcText(source.GetAddress());
  const std::string shown = Narrow(source);
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ("</e>", shown.substr(shown.size() - 4));
}

TEST_F(LoadFile, PassesEightBitTextThatDoesNotStartWithLessThanUnchanged) {
  // Rewritten, the attribute's value would be blanks.
  ASSERT_EQ(S_OK, Load("\xEF\xBB\xBF<r a='xmlns=\"\"'/>"));
  EXPECT_EQ("<r a=\"xmlns=&quot;&quot;\"/>", XmlOf(Root()));
  ASSERT_EQ(S_OK, Load("\r\n<r a='xmlns=\"\"'/>"));
  EXPECT_EQ("<r a=\"xmlns=&quot;&quot;\"/>", XmlOf(Root()));
}

TEST_F(LoadFile, ReadsFilesLargerThanTheParsersLookAheadLimit) {
  // Past 10,000,000 bytes, where the parser refuses a whole-buffer input
  // unless told the document is huge.
  constexpr size_t kBytes = 10 * 1000 * 1000 + 1;
  const std::string entry = "<e xmlns=\"\">" + std::string(1000, 't') + "</e>";
  std::string bytes = "<r>";
  while (bytes.size() < kBytes) bytes += entry;
  ASSERT_EQ(S_OK, Load(bytes + "<last xmlns=\"x-schema:C:\\dir\\last.xml\"/></r>"));
  IXMLDOMNodePtr last;
  ASSERT_EQ(S_OK, Root()->get_lastChild(&last));
  _bstr_t uri;
  last->get_namespaceURI(uri.GetAddress());
  EXPECT_EQ("x-schema:last.xml", Narrow(uri));
}

TEST_F(LoadFile, ReturnsWhatTheParserSays) {
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE558), Load(""));  // an empty stream: no root element
  EXPECT_LT(Load("<r><unclosed></r>"), 0);
  // An inline schema applies on load: a document that breaks it fails.
  EXPECT_LT(Load(systemtest::CacheTextWithoutEntries()), 0);
  EXPECT_EQ(S_OK, Load(systemtest::CacheText()));
}

TEST_F(LoadFile, FailsWithoutADocumentOrAFile) {
  EXPECT_EQ(E_FAIL, holder_.LoadFile((dir_ / "missing.xml").string().c_str()));
  EXPECT_EQ(E_FAIL, holder_.LoadFile(nullptr));
  // A directory is found but cannot be read as a file.
  EXPECT_EQ(E_FAIL, holder_.LoadFile(dir_.string().c_str()));

  CXMLDocument empty;
  const std::string path = WriteFile(dir_ / "ok.xml", "<r/>").string();
  EXPECT_EQ(E_FAIL, empty.LoadFile(path.c_str()));
  EXPECT_EQ(E_INVALIDARG, empty.SetDocument(nullptr));
}

}  // namespace
