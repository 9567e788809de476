// XPath selection: SelectionNamespaces, errors, namespaces and order.
#include "msxml_test_support.h"

namespace msxmltest {
namespace {

class Selection : public DomTest {
 protected:
  void SetUp() override {
    DomTest::SetUp();
    doc_.Attach(NewDocument().Detach());
    ASSERT_TRUE(LoadXml(doc_, kCacheFile.c_str()));
  }
  void TearDown() override {
    doc_ = nullptr;
    DomTest::TearDown();
  }
  HRESULT SetNamespaces(const _variant_t& value) {
    return doc_->setProperty(_bstr_t("SelectionNamespaces"), value);
  }

  IXMLDOMDocument2Ptr doc_;
};

TEST_F(Selection, SelectionNamespacesBindPrefixes) {
  ASSERT_EQ(S_OK, SetNamespaces("xmlns:qz1='urn:schemas-microsoft-com:xml-data' xmlns:qz=\"x-schema:#QZSchemas\""));
  EXPECT_EQ(1, LengthOf(Select(doc_, "qz1:QZSchemasRoot/qz:QZSchemas/qz:QZSchema")));
  EXPECT_EQ(1, LengthOf(Select(doc_,
                               "//qz1:QZSchemasRoot/qz:QZSchemas/qz:QZSchema[@urn = "
                               "\"x-schema:Tavel-basic-datatypes.xml\"]")));
  _variant_t value;
  ASSERT_EQ(S_OK, doc_->getProperty(_bstr_t("SelectionNamespaces"), &value));
  EXPECT_EQ(_bstr_t("xmlns:qz1='urn:schemas-microsoft-com:xml-data' xmlns:qz=\"x-schema:#QZSchemas\""),
            _bstr_t(value.bstrVal));
}

TEST_F(Selection, BadSelectionNamespacesAreRefused) {
  EXPECT_EQ(E_FAIL, SetNamespaces("xmlns:qz='unterminated"));
  EXPECT_EQ(E_FAIL, SetNamespaces("qz='x'"));
  EXPECT_EQ(E_FAIL, SetNamespaces(_variant_t(5L)));
  EXPECT_EQ(S_OK, SetNamespaces("xmlns:qz='x-schema:#QZSchemas'"));
  EXPECT_EQ(1, LengthOf(Select(doc_, "//qz:QZSchema")));
  EXPECT_EQ(S_OK, SetNamespaces(""));  // resets: the prefix of the last selection is gone too
  HRESULT hr = S_OK;
  Select(doc_, "//qz:QZSchema", &hr);
  EXPECT_EQ(E_FAIL, hr);
}

TEST_F(Selection, ErrorsAndNamesWithoutPrefix) {
  HRESULT hr = S_OK;
  Select(doc_, "//undeclared:x", &hr);
  EXPECT_EQ(E_FAIL, hr);
  Select(doc_, "//[", &hr);
  EXPECT_EQ(E_FAIL, hr);
  Select(doc_, "count(//*)", &hr);  // not a node set
  EXPECT_EQ(E_FAIL, hr);
  // An unprefixed name matches only elements in no namespace.
  EXPECT_EQ(0, LengthOf(Select(doc_, "/QZSchemasRoot/QZSchemas")));
  EXPECT_EQ(1, LengthOf(Select(doc_,
                               "/*[local-name()='QZSchemasRoot' and namespace-uri()='urn:schemas-microsoft-com:"
                               "xml-data']/*[local-name()='QZSchemas' and namespace-uri()='x-schema:#QZSchemas'][1]")));
  IXMLDOMNodePtr none;
  EXPECT_EQ(S_FALSE, doc_->selectSingleNode(_bstr_t("//nothing"), &none));
  EXPECT_FALSE(none);
}

TEST_F(Selection, EvaluatedFromTheNodeInDocumentOrder) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_TRUE(LoadXml(doc, "<r><x n='1'><y n='2'/></x><y n='3'/><x n='4'/></r>"));
  IXMLDOMNodePtr x;
  ASSERT_EQ(S_OK, doc->selectSingleNode(_bstr_t("/r/x"), &x));
  EXPECT_EQ(1, LengthOf(Select(x, "y")));
  EXPECT_EQ(3, LengthOf(Select(x, "/r/*")));
  IXMLDOMNodeListPtr all = Select(doc, "//y | //x");
  std::string order;
  for (IXMLDOMNodePtr node; all->nextNode(&node) == S_OK;) {
    IXMLDOMElementPtr element = node;
    _variant_t n;
    element->getAttribute(_bstr_t("n"), &n);
    order += Utf8(n.bstrVal);
  }
  EXPECT_EQ("1234", order);
}

}  // namespace
}  // namespace msxmltest
