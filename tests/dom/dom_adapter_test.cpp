// The DOM adapter layer: adapters as snapshots of element subtrees, lists of
// selections, attribute access, new children and saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dom/CreateChildNode.h"
#include "dom/XMLDOMAdapter.h"
#include "dom/XMLDOMAdapterList.h"
#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"
#include "support/temp_root.h"
#include "support/system_fixture.h"

namespace {

using systemtest::ComTest;
using systemtest::LoadedDocument;
using systemtest::Narrow;
using systemtest::XmlOf;

class DomAdapter : public ComTest {
 protected:
  // A holder over a document loaded from text.
  void Hold(const char* text) {
    doc_ = LoadedDocument(text);
    ASSERT_EQ(S_OK, holder_.SetDocument(doc_));
  }

  IXMLDOMDocument2Ptr doc_;
  CXMLDocument holder_;
};

HRESULT RaisedBy(void (*action)(CXMLDOMAdapter&), CXMLDOMAdapter& adapter) {
  try {
    action(adapter);
  } catch (const _com_error& error) {
    return error.Error();
  }
  return S_OK;
}

TEST_F(DomAdapter, WrapsElementChildrenOnly) {
  Hold("<a>text<b/><!--c--><?pi x?><d><e/></d></a>");
  CXMLDOMAdapter* root = holder_.GetRootAdapter();
  ASSERT_NE(nullptr, root);
  EXPECT_EQ(root, holder_.GetRootAdapter());
  ASSERT_EQ(2u, root->GetChildCount());
  EXPECT_EQ("b", Narrow(root->GetChild(0)->GetTagName()));
  CXMLDOMAdapter* d = root->GetChild(1);
  EXPECT_EQ("d", Narrow(d->GetTagName()));
  ASSERT_EQ(1u, d->GetChildCount());
  EXPECT_EQ("e", Narrow(d->GetChild(0)->GetTagName()));
  EXPECT_EQ(0u, d->GetChild(0)->GetChildCount());
}

TEST_F(DomAdapter, SelectionsAppendAndRewind) {
  Hold("<a><b n='1'/><b n='2'/><c/></a>");
  CXMLDOMAdapterList list;
  EXPECT_EQ(S_OK, holder_.SelectNodes("/a/b", list));
  EXPECT_EQ(S_OK, holder_.SelectNodes("c", list));
  ASSERT_EQ(3u, list.GetCount());
  _bstr_t n;
  list.Next()->GetAttribute("n", n);
  EXPECT_EQ("1", Narrow(n));
  list.Next()->GetAttribute("n", n);
  EXPECT_EQ("2", Narrow(n));
  EXPECT_EQ("c", Narrow(list.Next()->GetTagName()));
  EXPECT_EQ(nullptr, list.Next());

  // Nothing selected, or a selection that fails: S_OK, nothing added, cursor
  // back at the first.
  CXMLDOMAdapterList empty;
  EXPECT_EQ(S_OK, holder_.SelectNodes("/a/none", empty));
  EXPECT_EQ(S_OK, holder_.SelectNodes("undeclared:b", empty));
  EXPECT_EQ(nullptr, empty.Next());
  EXPECT_EQ(S_OK, holder_.SelectNodes("/a/none", list));
  EXPECT_EQ(3u, list.GetCount());
  EXPECT_NE(nullptr, list.Next());

  // A selected node that is not an element cannot be wrapped.
  EXPECT_EQ(E_NOINTERFACE, holder_.SelectNodes("/a/b/@n", empty));
}

TEST_F(DomAdapter, HolderWithoutDocumentElementSelectsNothing) {
  IXMLDOMDocument2Ptr doc;
  ASSERT_EQ(S_OK, CreateDocument(&doc));
  ASSERT_EQ(S_OK, holder_.SetDocument(doc));
  CXMLDOMAdapterList list;
  EXPECT_EQ(nullptr, holder_.GetRootAdapter());
  EXPECT_EQ(E_FAIL, holder_.SelectNodes("/*", list));
  EXPECT_EQ(0u, list.GetCount());

  CXMLDocument nothing;
  EXPECT_EQ(nullptr, nothing.GetRootAdapter());
  EXPECT_EQ(E_FAIL, nothing.SelectNodes("/*", list));
  EXPECT_FALSE(nothing.SaveFile("/tmp/never-written.xml"));
}

TEST_F(DomAdapter, ReadsAndWritesAttributes) {
  Hold("<a x='1'/>");
  CXMLDOMAdapter* root = holder_.GetRootAdapter();
  root->SetAttribute("x", "n\xC3\xA9");  // UTF-8, the system code page here
  _bstr_t value;
  root->GetAttribute("x", value);
  EXPECT_EQ(_bstr_t(OLESTR("n\u00e9")), value);
  EXPECT_EQ(E_FAIL, RaisedBy([](CXMLDOMAdapter& a) {
              _bstr_t missing;
              a.GetAttribute("missing", missing);
            },
                             *root));
}

TEST_F(DomAdapter, AddsChildrenInTheDatatypesNamespace) {
  Hold("<q:QZSchemas xmlns:q='urn:other'><q:QZSchema/>text</q:QZSchemas>");
  CXMLDOMAdapter* root = holder_.GetRootAdapter();
  ASSERT_NE(nullptr, root);
  CXMLDOMAdapter* added = root->AddChildElement(OLESTR("QZSchema"));
  ASSERT_EQ(2u, root->GetChildCount());
  EXPECT_EQ(added, root->GetChild(1));
  _bstr_t uri;
  added->GetElement()->get_namespaceURI(uri.GetAddress());
  EXPECT_EQ("x-schema:Tavel-basic-datatypes.xml", Narrow(uri));
  IXMLDOMNodePtr last;
  doc_->selectSingleNode(_bstr_t("/*/node()[last()]"), &last);
  EXPECT_EQ(IXMLDOMNodePtr(added->GetElement()), last);
  _variant_t dataType;
  added->GetElement()->get_dataType(&dataType);
  EXPECT_EQ(VT_NULL, dataType.vt);
}

TEST_F(DomAdapter, CreateChildNodeReportsFailuresAsParseErrors) {
  Hold("<a/>");
  IXMLDOMDocumentPtr doc = doc_;
  IXMLDOMNodePtr node;
  // No parent: the node goes under the document element.
  ASSERT_EQ(S_OK, CreateChildNode(doc, nullptr, OLESTR("b"), NODE_ELEMENT, OLESTR(""), OLESTR(""), &node));
  EXPECT_EQ("<a><b/></a>", XmlOf(holder_.GetRootAdapter()->GetElement()));

  SetErrorInfo(0, nullptr);
  IXMLDOMNodePtr bad;
  EXPECT_LT(CreateChildNode(doc, nullptr, OLESTR("c"), NODE_ELEMENT, OLESTR(""), OLESTR("no-such-type"), &bad), 0);
  IErrorInfoPtr info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &info));
  _bstr_t description;
  info->GetDescription(description.GetAddress());
  EXPECT_EQ(0u, Narrow(description).find("XMLDOM error accessing the DOM Object\n"));

  // A node type that cannot be made leaves no node to describe.
  IXMLDOMNodePtr none;
  EXPECT_LT(CreateChildNode(doc, nullptr, OLESTR("d"), NODE_INVALID, OLESTR(""), OLESTR(""), &none), 0);
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(S_FALSE, GetErrorInfo(0, &info));
}

TEST_F(DomAdapter, SavesOnlyValidDocuments) {
  const std::filesystem::path dir = qztest::FreshDirectory("save");
  const std::string path = systemtest::WriteFile(dir / "cache.xml", systemtest::CacheText()).string();
  IXMLDOMDocument2Ptr doc;
  ASSERT_EQ(S_OK, CreateDocument(&doc));
  ASSERT_EQ(S_OK, holder_.SetDocument(doc));
  ASSERT_EQ(S_OK, holder_.LoadFile(path.c_str()));
  doc->setProperty(_bstr_t("SelectionNamespaces"), _variant_t("xmlns:qz='x-schema:#QZSchemas'"));

  CXMLDOMAdapterList entries;
  ASSERT_EQ(S_OK, holder_.SelectNodes("//qz:QZSchema", entries));
  CXMLDOMAdapter* entry = entries.Next();
  ASSERT_NE(nullptr, entry);
  entry->SetAttribute("urn", "x-schema:b.xml");
  EXPECT_TRUE(holder_.SaveFile(path.c_str()));
  EXPECT_NE(std::string::npos, systemtest::ReadFile(path).find("urn=\"x-schema:b.xml\""));

  // The list must hold at least one entry: without it the document is invalid.
  const std::string saved = systemtest::ReadFile(path);
  entry->RemoveFromParent();
  EXPECT_FALSE(holder_.SaveFile(path.c_str()));
  EXPECT_EQ(saved, systemtest::ReadFile(path));
  // The removed element has no parent any more.
  EXPECT_EQ(E_FAIL, RaisedBy([](CXMLDOMAdapter& a) { a.RemoveFromParent(); }, *entry));
}

}  // namespace
