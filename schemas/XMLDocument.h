// The document holder through which the system's own code loads, queries
// and saves XML files: one DOM document and, once asked for, the adapter of
// its document element.
#pragma once

#include <comdef.h>
#include <msxml6.h>

class CXMLDOMAdapter;
class CXMLDOMAdapterList;

class CXMLDocument {
 public:
  CXMLDocument();
  ~CXMLDocument();
  CXMLDocument(const CXMLDocument&) = delete;
  CXMLDocument& operator=(const CXMLDocument&) = delete;

  // Keeps doc with one added reference. E_INVALIDARG for a null doc. A holder
  // is given its document once.
  HRESULT SetDocument(IXMLDOMDocument2* doc);

  // Reads the file at path (narrow, system code page) into memory, rewrites
  // its namespace declarations (schemas/NamespaceRewrites.h) and loads the
  // text through the document's IPersistStream. E_FAIL without a document or
  // when the file cannot be found, opened or read; E_OUTOFMEMORY when the
  // text does not fit in memory; else the failing call's HRESULT.
  HRESULT LoadFile(const char* path);

  // The adapter of the document element, owned by the holder; null when the
  // document has none.
  CXMLDOMAdapter* GetRootAdapter();

  // Appends the adapters of the nodes that xpath selects from the document
  // element to list. E_FAIL without a document element; S_FALSE when an item
  // of the result cannot be fetched; the HRESULT of an error raised inside.
  HRESULT SelectNodes(const char* xpath, CXMLDOMAdapterList& list);

  // Validates the document and saves it to path; false when either fails,
  // and then the file is not written.
  bool SaveFile(const char* path);

 private:
  // Two strings that the holder carries for its users; its own operations
  // neither read nor write them.
  _bstr_t m_bstrName;
  _bstr_t m_bstrUrl;
  IXMLDOMDocument2* m_pDocument;
  CXMLDOMAdapter* m_pRootAdapter;
};
