// An element of a DOM document together with adapters for its element
// children: a snapshot of the element subtree as it stood when the adapter
// was made, extended by the children added through it.
//
// Failing DOM calls are raised as _com_error with their HRESULT.
#pragma once

#include <comdef.h>
#include <msxml6.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "errors/XMLDOMPtr.h"

class CXMLDOMAdapterList;

class CXMLDOMAdapter {
 public:
  // node must be an element: null raises E_INVALIDARG, any other node the
  // refused QueryInterface's HRESULT.
  explicit CXMLDOMAdapter(IUnknown* node);
  virtual ~CXMLDOMAdapter();
  CXMLDOMAdapter(const CXMLDOMAdapter&) = delete;
  CXMLDOMAdapter& operator=(const CXMLDOMAdapter&) = delete;

  _bstr_t GetTagName() const;

  // Appends the adapters of the nodes that xpath selects from this element;
  // the list's cursor ends at its first adapter. A failed selection adds
  // nothing and gives true; false when an item of the result cannot be
  // fetched (the adapters made so far stay in the list).
  bool SelectNodes(const char* xpath, CXMLDOMAdapterList& list);

  // A new last child element in the platform's basic data types namespace,
  // whatever this element's namespace; its adapter is owned by this one.
  CXMLDOMAdapter* AddChildElement(const _bstr_t& name);

  void SetAttribute(const char* name, const _bstr_t& value);
  void SetAttribute(const char* name, const char* value);
  // Raises E_FAIL when the attribute is missing or cannot be read.
  void GetAttribute(const char* name, _bstr_t& value) const;

  // Takes the element out of its parent; the adapter keeps it alive.
  void RemoveFromParent();

  size_t GetChildCount() const { return m_children.size(); }
  CXMLDOMAdapter* GetChild(size_t index) const { return m_children.at(index).get(); }
  IXMLDOMElement* GetElement() const { return m_pElement; }

 private:
  void AppendChild(std::unique_ptr<CXMLDOMAdapter> child);

  std::vector<std::unique_ptr<CXMLDOMAdapter>> m_children;
  IXMLDOMElementPtr m_pElement;
};

// A new adapter over node, with running out of memory raised as E_OUTOFMEMORY.
std::unique_ptr<CXMLDOMAdapter> MakeAdapter(IUnknown* node);
