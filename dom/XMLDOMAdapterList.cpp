#include "dom/XMLDOMAdapterList.h"

#include <new>

CXMLDOMAdapter* CXMLDOMAdapterList::Next() {
  if (m_cursor >= m_adapters.size()) return nullptr;
  return m_adapters[m_cursor++].get();
}

void CXMLDOMAdapterList::Append(std::unique_ptr<CXMLDOMAdapter> adapter) {
  try {
    m_adapters.push_back(std::move(adapter));
  } catch (const std::bad_alloc&) {
    _com_issue_error(E_OUTOFMEMORY);
  }
}
