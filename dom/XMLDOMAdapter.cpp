#include "dom/XMLDOMAdapter.h"

#include <new>
#include <utility>

#include "dom/CreateChildNode.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/CheckResult.h"

namespace {

// Every element added through an adapter lives in this namespace.
constexpr OLECHAR kChildNamespace[] = OLESTR("x-schema:Tavel-basic-datatypes.xml");

}  // namespace

std::unique_ptr<CXMLDOMAdapter> MakeAdapter(IUnknown* node) {
  CXMLDOMAdapter* adapter = new (std::nothrow) CXMLDOMAdapter(node);
  if (adapter == nullptr) _com_issue_error(E_OUTOFMEMORY);
  return std::unique_ptr<CXMLDOMAdapter>(adapter);
}

CXMLDOMAdapter::CXMLDOMAdapter(IUnknown* node) {
  if (node == nullptr) _com_issue_error(E_INVALIDARG);
  CheckResult(node->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void**>(&m_pElement)));

  IXMLDOMNodeListPtr children;
  if (FAILED(m_pElement->get_childNodes(&children)) || children == nullptr) return;
  LONG length = 0;
  CheckResult(children->get_length(&length));
  for (LONG i = 0; i < length; ++i) {
    IXMLDOMNodePtr child;
    CheckResult(children->get_item(i, &child));
    IXMLDOMElementPtr element;
    // Text, comments and processing instructions are not wrapped.
    if (child == nullptr || FAILED(child->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void**>(&element))))
      continue;
    AppendChild(MakeAdapter(element));
  }
}

CXMLDOMAdapter::~CXMLDOMAdapter() = default;

void CXMLDOMAdapter::AppendChild(std::unique_ptr<CXMLDOMAdapter> child) {
  try {
    m_children.push_back(std::move(child));
  } catch (const std::bad_alloc&) {
    _com_issue_error(E_OUTOFMEMORY);
  }
}

_bstr_t CXMLDOMAdapter::GetTagName() const {
  _bstr_t tagName;
  CheckResult(m_pElement->get_tagName(tagName.GetAddress()));
  return tagName;
}

bool CXMLDOMAdapter::SelectNodes(const char* xpath, CXMLDOMAdapterList& list) {
  IXMLDOMNodeListPtr nodes;
  if (FAILED(m_pElement->selectNodes(_bstr_t(xpath), &nodes)) || nodes == nullptr) {
    list.Rewind();
    return true;
  }
  LONG length = 0;
  nodes->get_length(&length);
  for (LONG i = 0; i < length; ++i) {
    IXMLDOMNodePtr node;
    if (FAILED(nodes->get_item(i, &node))) {
      list.Rewind();
      return false;
    }
    list.Append(MakeAdapter(node));
  }
  list.Rewind();
  return true;
}

CXMLDOMAdapter* CXMLDOMAdapter::AddChildElement(const _bstr_t& name) {
  IXMLDOMDocumentPtr owner;
  CheckResult(m_pElement->get_ownerDocument(&owner));
  if (owner == nullptr) _com_issue_error(E_FAIL);
  IXMLDOMNodePtr node;
  CheckResult(CreateChildNode(owner, m_pElement, name, NODE_ELEMENT, _bstr_t(kChildNamespace), _bstr_t(OLESTR("")),
                        &node));
  if (node == nullptr) _com_issue_error(E_FAIL);
  AppendChild(MakeAdapter(node));
  return m_children.back().get();
}

void CXMLDOMAdapter::SetAttribute(const char* name, const _bstr_t& value) {
  _variant_t text(value);
  CheckResult(m_pElement->setAttribute(_bstr_t(name), text));
}

void CXMLDOMAdapter::SetAttribute(const char* name, const char* value) {
  _variant_t text(value);
  CheckResult(m_pElement->setAttribute(_bstr_t(name), text));
}

void CXMLDOMAdapter::GetAttribute(const char* name, _bstr_t& value) const {
  try {
    IXMLDOMNamedNodeMapPtr attributes;
    CheckResult(m_pElement->get_attributes(&attributes));
    IXMLDOMNodePtr attribute;
    if (attributes == nullptr || attributes->getNamedItem(_bstr_t(name), &attribute) != S_OK || attribute == nullptr)
      _com_issue_error(E_FAIL);
    _variant_t nodeValue;
    CheckResult(attribute->get_nodeValue(&nodeValue));
    value = _bstr_t(nodeValue);
  } catch (const _com_error&) {
    _com_issue_error(E_FAIL);
  }
}

void CXMLDOMAdapter::RemoveFromParent() {
  IXMLDOMNodePtr node;
  CheckResult(m_pElement->QueryInterface(__uuidof(IXMLDOMNode), reinterpret_cast<void**>(&node)));
  IXMLDOMNodePtr parent;
  CheckResult(node->get_parentNode(&parent));
  if (parent == nullptr) _com_issue_error(E_FAIL);
  IXMLDOMNodePtr removed;
  CheckResult(parent->removeChild(node, &removed));
}
