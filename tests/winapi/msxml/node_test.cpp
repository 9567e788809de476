// Nodes: identity and lifetime, names, navigation, editing, createNode
// namespaces and dataType.
#include "msxml_test_support.h"

namespace msxmltest {
namespace {

class Nodes : public DomTest {
 protected:
  void SetUp() override {
    DomTest::SetUp();
    doc_.Attach(NewDocument().Detach());
    ASSERT_TRUE(LoadXml(doc_, "<a xmlns:p='urn:p'>text<b p:x='1'/><!--c--><d><e/></d></a>"));
    ASSERT_EQ(S_OK, doc_->get_documentElement(&root_));
  }
  void TearDown() override {
    root_ = nullptr;
    doc_ = nullptr;
    DomTest::TearDown();
  }
  IXMLDOMNodePtr Child(IXMLDOMNode* node, LONG index) {
    IXMLDOMNodeListPtr children;
    EXPECT_EQ(S_OK, node->get_childNodes(&children));
    IXMLDOMNodePtr child;
    children->get_item(index, &child);
    return child;
  }

  IXMLDOMDocument2Ptr doc_;
  IXMLDOMElementPtr root_;
};

TEST_F(Nodes, TheSameNodeTwiceIsTheSameObject) {
  IXMLDOMNodePtr first = Child(root_, 1);
  IXMLDOMNodePtr again;
  ASSERT_EQ(S_OK, root_->selectSingleNode(_bstr_t("b"), &again));
  IUnknownPtr a = first, b = again;
  EXPECT_EQ(a.GetInterfacePtr(), b.GetInterfacePtr());
}

TEST_F(Nodes, ANodeKeepsItsDocumentAndRemovedNodesStayUsable) {
  IXMLDOMNodePtr d = Child(root_, 3);
  IXMLDOMNodePtr removed;
  ASSERT_EQ(S_OK, root_->removeChild(d, &removed));
  root_ = nullptr;
  doc_ = nullptr;  // the node holds the document now
  IXMLDOMNodePtr e;
  ASSERT_EQ(S_OK, removed->get_firstChild(&e));
  EXPECT_EQ("<d><e/></d>", XmlOf(removed));
  IXMLDOMNodePtr parent;
  EXPECT_EQ(S_FALSE, removed->get_parentNode(&parent));
  IXMLDOMDocumentPtr owner;
  ASSERT_EQ(S_OK, removed->get_ownerDocument(&owner));
  EXPECT_TRUE(owner);
}

TEST_F(Nodes, NodesOfAReplacedTreeOutliveTheReload) {
  IXMLDOMNodePtr b = Child(root_, 1);
  ASSERT_TRUE(LoadXml(doc_, "<other/>"));
  EXPECT_EQ("<b xmlns:p=\"urn:p\" p:x=\"1\"/>", XmlOf(b));
}

TEST_F(Nodes, ChildrenTypesAndNames) {
  const DOMNodeType types[] = {NODE_TEXT, NODE_ELEMENT, NODE_COMMENT, NODE_ELEMENT};
  const char* names[] = {"#text", "b", "#comment", "d"};
  IXMLDOMNodeListPtr children;
  root_->get_childNodes(&children);
  EXPECT_EQ(4, LengthOf(children));
  for (LONG i = 0; i < 4; ++i) {
    IXMLDOMNodePtr child = Child(root_, i);
    DOMNodeType type;
    child->get_nodeType(&type);
    EXPECT_EQ(types[i], type);
    BSTR name = nullptr;
    child->get_nodeName(&name);
    EXPECT_EQ(names[i], Utf8(name));
    SysFreeString(name);
  }
  IXMLDOMNodePtr next;
  EXPECT_EQ(S_FALSE, Child(root_, 3)->get_nextSibling(&next));
}

TEST_F(Nodes, AttributesThroughTheMapAndTheElement) {
  IXMLDOMNodePtr b = Child(root_, 1);
  IXMLDOMNamedNodeMapPtr attributes;
  ASSERT_EQ(S_OK, b->get_attributes(&attributes));
  LONG length = 0;
  attributes->get_length(&length);
  EXPECT_EQ(1, length);
  IXMLDOMNodePtr x;
  ASSERT_EQ(S_OK, attributes->getNamedItem(_bstr_t("p:x"), &x));
  BSTR text = nullptr;
  x->get_namespaceURI(&text);
  EXPECT_EQ("urn:p", Utf8(text));
  SysFreeString(text);
  x->get_baseName(&text);
  EXPECT_EQ("x", Utf8(text));
  SysFreeString(text);
  EXPECT_EQ(S_FALSE, attributes->getNamedItem(_bstr_t("missing"), &x));

  IXMLDOMElementPtr element = b;
  ASSERT_EQ(S_OK, element->setAttribute(_bstr_t("urn"), _variant_t("x-schema:a & <b>")));
  _variant_t value;
  ASSERT_EQ(S_OK, element->getAttribute(_bstr_t("urn"), &value));
  EXPECT_EQ(_bstr_t("x-schema:a & <b>"), _bstr_t(value.bstrVal));
  EXPECT_EQ(S_OK, element->removeAttribute(_bstr_t("urn")));
  value.Clear();  // [out] VARIANTs are written, not freed, by the callee
  EXPECT_EQ(S_FALSE, element->getAttribute(_bstr_t("urn"), &value));
  EXPECT_EQ(VT_NULL, value.vt);
}

TEST_F(Nodes, InsertingChecksTheTree) {
  IXMLDOMNodePtr d = Child(root_, 3);
  IXMLDOMNodePtr e = Child(d, 0);
  IXMLDOMNodePtr out;
  EXPECT_EQ(E_FAIL, e->appendChild(root_, &out));  // an ancestor cannot go below itself
  EXPECT_EQ(E_INVALIDARG, e->removeChild(root_, &out));  // not a child
  IXMLDOMElementPtr second;
  ASSERT_EQ(S_OK, doc_->createElement(_bstr_t("second"), &second));
  EXPECT_EQ(E_FAIL, doc_->appendChild(second, &out));  // one document element
  IXMLDOMDocument2Ptr other = NewDocument();
  ASSERT_TRUE(LoadXml(other, "<x/>"));
  IXMLDOMElementPtr foreign;
  other->get_documentElement(&foreign);
  EXPECT_EQ(E_INVALIDARG, root_->appendChild(foreign, &out));  // another document's node

  // insertBefore places the node; moving a node takes it from its old place.
  _variant_t before(static_cast<IDispatch*>(Child(root_, 0).GetInterfacePtr()));
  ASSERT_EQ(S_OK, root_->insertBefore(d, before, &out));
  EXPECT_EQ("<a xmlns:p=\"urn:p\"><d><e/></d>text<b p:x=\"1\"/><!--c--></a>", XmlOf(root_));
}

TEST_F(Nodes, CreatedElementsCarryTheDeclarationTheyNeed) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  doc->put_validateOnParse(VARIANT_FALSE);  // the inline schema is left out here
  ASSERT_TRUE(LoadXml(doc, "<QZSchemasRoot><QZSchemas xmlns='x-schema:#QZSchemas'/></QZSchemasRoot>"));
  IXMLDOMNodePtr list;
  ASSERT_EQ(S_OK, doc->selectSingleNode(_bstr_t("/QZSchemasRoot/*"), &list));

  IXMLDOMNodePtr entry, plain, out;
  ASSERT_EQ(S_OK, doc->createNode(_variant_t(1L), _bstr_t("QZSchema"), _bstr_t("x-schema:Tavel-basic-datatypes.xml"),
                                  &entry));
  ASSERT_EQ(S_OK, doc->createNode(_variant_t(1L), _bstr_t("Plain"), nullptr, &plain));
  ASSERT_EQ(S_OK, list->appendChild(entry, &out));
  ASSERT_EQ(S_OK, list->appendChild(plain, &out));
  EXPECT_EQ(S_OK, entry->put_dataType(_bstr_t("")));  // declares no type
  EXPECT_EQ(
      "<QZSchemas xmlns=\"x-schema:#QZSchemas\"><QZSchema xmlns=\"x-schema:Tavel-basic-datatypes.xml\"/>"
      "<Plain xmlns=\"\"/></QZSchemas>",
      XmlOf(list));

  // What was written reads back in the same namespaces.
  IXMLDOMDocument2Ptr reread = NewDocument();
  reread->put_validateOnParse(VARIANT_FALSE);
  BSTR xml = nullptr;
  doc->get_xml(&xml);
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(S_OK, reread->loadXML(xml, &ok));
  SysFreeString(xml);
  reread->setProperty(_bstr_t("SelectionNamespaces"), _variant_t("xmlns:t='x-schema:Tavel-basic-datatypes.xml'"));
  EXPECT_EQ(1, LengthOf(Select(reread, "//t:QZSchema")));
  EXPECT_EQ(1, LengthOf(Select(reread, "//Plain")));
}

TEST_F(Nodes, DataTypes) {
  IXMLDOMNodePtr b = Child(root_, 1);
  _variant_t type;
  EXPECT_EQ(S_FALSE, b->get_dataType(&type));
  EXPECT_EQ(VT_NULL, type.vt);
  EXPECT_EQ(E_FAIL, b->put_dataType(_bstr_t("no-such-type")));
  ASSERT_EQ(S_OK, b->put_dataType(_bstr_t("I4")));  // names are case-insensitive
  ASSERT_EQ(S_OK, b->get_dataType(&type));
  EXPECT_EQ(_bstr_t("i4"), _bstr_t(type.bstrVal));
  ASSERT_EQ(S_OK, b->put_dataType(_bstr_t("")));
  type.Clear();
  EXPECT_EQ(S_FALSE, b->get_dataType(&type));
}

}  // namespace
}  // namespace msxmltest
