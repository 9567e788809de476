// The adapters that a node selection yields, owned by the list, with a read
// cursor. Selections append; the cursor is put back at the first adapter.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "dom/XMLDOMAdapter.h"

class CXMLDOMAdapterList {
 public:
  CXMLDOMAdapterList() = default;
  CXMLDOMAdapterList(const CXMLDOMAdapterList&) = delete;
  CXMLDOMAdapterList& operator=(const CXMLDOMAdapterList&) = delete;

  // The adapter at the cursor, moving the cursor on; null at the end.
  CXMLDOMAdapter* Next();

  // Takes adapter over; raises E_OUTOFMEMORY when it cannot be stored.
  void Append(std::unique_ptr<CXMLDOMAdapter> adapter);
  void Rewind() { m_cursor = 0; }
  size_t GetCount() const { return m_adapters.size(); }

 private:
  std::vector<std::unique_ptr<CXMLDOMAdapter>> m_adapters;
  size_t m_cursor = 0;
};
