// DOMDocument60 and FreeThreadedDOMDocument60: IXMLDOMDocument2 and
// IPersistStream over one libxml2 document. Loading replaces the Tree;
// nodes taken from the old one keep it alive.
#pragma once

#include <string>
#include <string_view>

#include <objidl.h>

#include "node_impl.h"
#include "parse_error.h"
#include "selection.h"

namespace qzwin::msxml {

class Document : public NodeImpl<Document, IXMLDOMDocument2, IPersistStream> {
 public:
  using Interfaces = InterfaceTable<NodeImpl::Interfaces, Answers<IXMLDOMDocument, IXMLDOMDocument2>,
                                    Answers<IPersist, IPersistStream>>;

  explicit Document(const CLSID& clsid);
  ~Document() override;

  IXMLDOMDocument2* ownerDocument() override { return this; }
  const SelectionNamespaces& selectionNamespaces() const { return selection_; }

  // IXMLDOMDocument
  HRESULT STDMETHODCALLTYPE get_doctype(IXMLDOMDocumentType** documentType) override;
  HRESULT STDMETHODCALLTYPE get_implementation(IXMLDOMImplementation** impl) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement** DOMElement) override;
  HRESULT STDMETHODCALLTYPE putref_documentElement(IXMLDOMElement* DOMElement) override;
  HRESULT STDMETHODCALLTYPE createElement(BSTR tagName, IXMLDOMElement** element) override;
  HRESULT STDMETHODCALLTYPE createDocumentFragment(IXMLDOMDocumentFragment** docFrag) override;
  HRESULT STDMETHODCALLTYPE createTextNode(BSTR data, IXMLDOMText** text) override;
  HRESULT STDMETHODCALLTYPE createComment(BSTR data, IXMLDOMComment** comment) override;
  HRESULT STDMETHODCALLTYPE createCDATASection(BSTR data, IXMLDOMCDATASection** cdata) override;
  HRESULT STDMETHODCALLTYPE createProcessingInstruction(BSTR target, BSTR data,
                                                        IXMLDOMProcessingInstruction** pi) override;
  HRESULT STDMETHODCALLTYPE createAttribute(BSTR name, IXMLDOMAttribute** attribute) override;
  HRESULT STDMETHODCALLTYPE createEntityReference(BSTR name, IXMLDOMEntityReference** entityRef) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) override;
  HRESULT STDMETHODCALLTYPE createNode(VARIANT Type, BSTR name, BSTR namespaceURI, IXMLDOMNode** node) override;
  HRESULT STDMETHODCALLTYPE nodeFromID(BSTR idString, IXMLDOMNode** node) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) override;
  HRESULT STDMETHODCALLTYPE get_readyState(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_parseError(IXMLDOMParseError** errorObj) override;
  HRESULT STDMETHODCALLTYPE get_url(BSTR* urlString) override;
  HRESULT STDMETHODCALLTYPE get_async(VARIANT_BOOL* isAsync) override;
  HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL isAsync) override;
  HRESULT STDMETHODCALLTYPE abort() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) override;
  HRESULT STDMETHODCALLTYPE save(VARIANT destination) override;
  HRESULT STDMETHODCALLTYPE get_validateOnParse(VARIANT_BOOL* isValidating) override;
  HRESULT STDMETHODCALLTYPE put_validateOnParse(VARIANT_BOOL isValidating) override;
  HRESULT STDMETHODCALLTYPE get_resolveExternals(VARIANT_BOOL* isResolving) override;
  HRESULT STDMETHODCALLTYPE put_resolveExternals(VARIANT_BOOL isResolving) override;
  HRESULT STDMETHODCALLTYPE get_preserveWhiteSpace(VARIANT_BOOL* isPreserving) override;
  HRESULT STDMETHODCALLTYPE put_preserveWhiteSpace(VARIANT_BOOL isPreserving) override;
  HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE put_ondataavailable(VARIANT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE put_ontransformnode(VARIANT) override { return S_OK; }

  // IXMLDOMDocument2
  HRESULT STDMETHODCALLTYPE get_namespaces(IXMLDOMSchemaCollection** namespaceCollection) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_schemas(VARIANT* otherCollection) override;
  HRESULT STDMETHODCALLTYPE putref_schemas(VARIANT otherCollection) override;
  HRESULT STDMETHODCALLTYPE validate(IXMLDOMParseError** errorObj) override;
  HRESULT STDMETHODCALLTYPE setProperty(BSTR name, VARIANT value) override;
  HRESULT STDMETHODCALLTYPE getProperty(BSTR name, VARIANT* value) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream* pStm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* pStm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override { return E_NOTIMPL; }

 private:
  // Where the text to parse came from.
  struct Source {
    std::string_view bytes;
    const char* encoding = nullptr;  // forces the encoding (loadXML: UTF-8)
    std::optional<std::string> url;  // as the caller gave it; none for streams and strings
    std::string baseUrl;             // for libxml2: relative references resolve against it
  };

  // Parses, post-processes and (with validateOnParse) validates; on success
  // the document holds the new tree, else an empty one and parseError says why.
  HRESULT Parse(const Source& source);
  HRESULT LoadFromPath(const std::string& path);
  HRESULT LoadFromStream(IStream* stream);
  bool LoadFromGlobalMemory(IStream* stream, HRESULT* result);
  void ResetToEmpty();
  void Fail(ParseErrorInfo info);
  HRESULT WritePath(const std::string& path);
  HRESULT MakeNode(xmlNodePtr node, IXMLDOMNode** out);

  CLSID clsid_;
  bool async_ = true;
  bool validateOnParse_ = true;
  bool resolveExternals_ = false;
  bool preserveWhiteSpace_ = false;
  bool prohibitDtd_ = false;
  SelectionNamespaces selection_;
  IXMLDOMSchemaCollection* schemas_ = nullptr;
  ParseErrorInfo parseError_;
  std::optional<std::string> url_;
};

// The libxml2 document behind one of our DOM objects (a document or any of
// its nodes); null for anything else.
xmlDocPtr XmlDocOf(IUnknown* object);

}  // namespace qzwin::msxml
