// The holder's operations over the DOM adapter layer: the root adapter,
// selection and saving.
#include <new>

#include "dom/XMLDOMAdapter.h"
#include "dom/XMLDOMAdapterList.h"
#include "dom/XMLDOMPtr.h"
#include "errors/CheckResult.h"
#include "schemas/XMLDocument.h"

CXMLDOMAdapter* CXMLDocument::GetRootAdapter() {
  if (m_pRootAdapter != nullptr) return m_pRootAdapter;
  try {
    if (m_pDocument == nullptr) _com_issue_error(E_FAIL);
    IXMLDOMElementPtr root;
    CheckResult(m_pDocument->get_documentElement(&root));
    // An empty document has no element: the adapter refuses the null node.
    m_pRootAdapter = MakeAdapter(root).release();
  } catch (const _com_error&) {
    return nullptr;
  }
  return m_pRootAdapter;
}

HRESULT CXMLDocument::SelectNodes(const char* xpath, CXMLDOMAdapterList& list) {
  CXMLDOMAdapter* root = GetRootAdapter();
  if (root == nullptr) return E_FAIL;
  try {
    return root->SelectNodes(xpath, list) ? S_OK : S_FALSE;
  } catch (const _com_error& error) {
    return error.Error();
  }
}

bool CXMLDocument::SaveFile(const char* path) {
  if (m_pDocument == nullptr) return false;
  try {
    IXMLDOMParseErrorPtr parseError;
    if (FAILED(m_pDocument->validate(&parseError))) return false;
    _variant_t destination(path);
    return SUCCEEDED(m_pDocument->save(destination));
  } catch (const _com_error&) {
    return false;
  }
}
