// The XML declaration as a processing instruction "xml": its data read as
// pseudo-attributes when it is made, where it may stand, and how save and
// the xml property write it.
#include <support/temp_root.h>

#include "msxml_test_support.h"

namespace msxmltest {
namespace {

class Declaration : public DomTest {
 protected:
  void SetUp() override {
    DomTest::SetUp();
    doc_ = NewDocument();
  }
  void TearDown() override {
    doc_ = nullptr;
    DomTest::TearDown();
  }
  HRESULT Make(BSTR data, IXMLDOMProcessingInstruction** pi = nullptr) {
    IXMLDOMProcessingInstructionPtr made;
    HRESULT hr = doc_->createProcessingInstruction(_bstr_t("xml"), data, &made);
    if (pi != nullptr) *pi = made.Detach();
    return hr;
  }
  HRESULT Create(const char* data) { return Make(_bstr_t(data)); }
  IXMLDOMNodePtr Declare(const char* data) {
    IXMLDOMProcessingInstructionPtr pi;
    EXPECT_EQ(S_OK, Make(_bstr_t(data), &pi));
    return pi;
  }
  IXMLDOMNodePtr Element(const char* name) {
    IXMLDOMElementPtr element;
    EXPECT_EQ(S_OK, doc_->createElement(_bstr_t(name), &element));
    return element;
  }

  IXMLDOMDocument2Ptr doc_;
};

TEST_F(Declaration, TheDataIsReadAsPseudoAttributesWhenMade) {
  EXPECT_EQ(S_OK, Create("version='1.0' encoding ='ISO-8859-1'"));
  EXPECT_EQ(S_OK, Create(" version = \"1.0\"\tencoding= 'UTF-8' standalone='yes' "));

  const HRESULT kDeclSyntax = static_cast<HRESULT>(0xC00CE507);
  EXPECT_EQ(kDeclSyntax, Make(nullptr));
  EXPECT_EQ(kDeclSyntax, Create(""));
  EXPECT_EQ(kDeclSyntax, Create("  "));
  EXPECT_EQ(kDeclSyntax, Create("encoding='UTF-8'"));                  // no version first
  EXPECT_EQ(kDeclSyntax, Create("version='1.0' version='1.0'"));       // twice
  EXPECT_EQ(kDeclSyntax, Create("version='1.0' standalone='no' encoding='UTF-8'"));
  EXPECT_EQ(kDeclSyntax, Create("version='1.0'encoding='UTF-8'"));     // no blank between
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE56C), Create("version='1.0' charset='UTF-8'"));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE56C), Create("Version='1.0'"));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE502), Create("version=1.0"));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE506), Create("version='1.0\""));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE506), Create("version='1.0"));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE501), Create("version '1.0'"));

  // Other instructions take any data.
  IXMLDOMProcessingInstructionPtr other;
  EXPECT_EQ(S_OK, doc_->createProcessingInstruction(_bstr_t("other"), _bstr_t(""), &other));
}

TEST_F(Declaration, TheDataStaysAsTypedAndCannotBeChanged) {
  IXMLDOMProcessingInstructionPtr pi;
  ASSERT_EQ(S_OK, Make(_bstr_t("version='1.0' encoding ='ISO-8859-1'"), &pi));
  BSTR data = nullptr;
  ASSERT_EQ(S_OK, pi->get_data(&data));
  EXPECT_EQ("version='1.0' encoding ='ISO-8859-1'", Utf8(data));
  SysFreeString(data);
  EXPECT_EQ(E_FAIL, pi->put_data(_bstr_t("version='1.0'")));
  EXPECT_EQ(E_FAIL, pi->put_nodeValue(_variant_t("version='1.0'")));
  EXPECT_EQ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", XmlOf(pi));
}

TEST_F(Declaration, StandsOnceAnywhereAtTheTopOfADocument) {
  IXMLDOMNodePtr out;
  // First in an empty document.
  EXPECT_EQ(S_OK, doc_->appendChild(Declare("version='1.0'"), &out));
  EXPECT_EQ(E_FAIL, doc_->appendChild(Declare("version='1.0'"), &out));  // a second one

  // Before the document element, and after it.
  IXMLDOMDocument2Ptr before = NewDocument();
  ASSERT_TRUE(LoadXml(before, "<r/>"));
  IXMLDOMNodePtr root;
  before->get_firstChild(&root);
  IXMLDOMProcessingInstructionPtr pi;
  ASSERT_EQ(S_OK, before->createProcessingInstruction(_bstr_t("xml"), _bstr_t("version='1.0'"), &pi));
  EXPECT_EQ(S_OK, before->insertBefore(pi, _variant_t(static_cast<IDispatch*>(root)), &out));
  EXPECT_EQ("<?xml version=\"1.0\"?>\r\n<r/>\r\n", XmlOf(before));

  IXMLDOMDocument2Ptr after = NewDocument();
  ASSERT_TRUE(LoadXml(after, "<r/>"));
  ASSERT_EQ(S_OK, after->createProcessingInstruction(_bstr_t("xml"), _bstr_t("version='1.0'"), &pi));
  EXPECT_EQ(S_OK, after->appendChild(pi, &out));
  EXPECT_EQ("<r/>\r\n<?xml version=\"1.0\"?>\r\n", XmlOf(after));

  // Never inside an element.
  IXMLDOMNodePtr element = Element("e");
  EXPECT_EQ(E_FAIL, element->appendChild(Declare("version='1.0'"), &out));
}

TEST_F(Declaration, SaveEncodesInTheEncodingOfAFirstDeclaration) {
  const std::filesystem::path dir = qztest::FreshDirectory("declaration");
  IXMLDOMNodePtr out;
  ASSERT_EQ(S_OK, doc_->appendChild(Declare("version='1.0' encoding ='ISO-8859-1'"), &out));
  IXMLDOMElementPtr root = Element("r");
  root->put_text(_bstr_t("caf\xC3\xA9"));
  // Characters the encoding lacks become character references.
  root->setAttribute(_bstr_t("a"), _variant_t("\xC3\xA9\xE2\x82\xAC"));
  ASSERT_EQ(S_OK, doc_->appendChild(root, &out));
  ASSERT_EQ(S_OK, doc_->save(_variant_t((dir / "latin1.xml").string().c_str())));
  EXPECT_EQ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r a=\"\xE9&#8364;\">caf\xE9</r>\r\n",
            ReadFile(dir / "latin1.xml"));

  // A declaration that is not the first child names no encoding for the text.
  IXMLDOMDocument2Ptr late = NewDocument();
  ASSERT_TRUE(LoadXml(late, "<r>caf\xC3\xA9</r>"));
  IXMLDOMProcessingInstructionPtr pi;
  ASSERT_EQ(S_OK, late->createProcessingInstruction(_bstr_t("xml"), _bstr_t("version='1.0' encoding='ISO-8859-1'"),
                                                    &pi));
  ASSERT_EQ(S_OK, late->appendChild(pi, &out));
  ASSERT_EQ(S_OK, late->save(_variant_t((dir / "late.xml").string().c_str())));
  EXPECT_EQ("<r>caf\xC3\xA9</r>\r\n<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n", ReadFile(dir / "late.xml"));
}

TEST_F(Declaration, ALoadedDeclarationIsWrittenAnew) {
  ASSERT_TRUE(LoadXml(doc_, "<?xml version='1.0'  standalone='yes' ?><r/>"));
  EXPECT_EQ("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<r/>\r\n", XmlOf(doc_));
}

}  // namespace
}  // namespace msxmltest
