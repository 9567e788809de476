// XMLSchemaCache60: IXMLDOMSchemaCollection of XSD schemas, each compiled
// once when it is added, keyed by its target namespace.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <libxml/xmlschemas.h>
#include <com_object.h>
#include <msxml6.h>

#include "tree.h"

namespace qzwin::msxml {

// A compiled schema, shared by the collections it was added to.
struct CompiledSchema {
  CompiledSchema() = default;
  ~CompiledSchema();
  CompiledSchema(const CompiledSchema&) = delete;
  CompiledSchema& operator=(const CompiledSchema&) = delete;

  // The schema points into the document it was compiled from: either the
  // tree of the document added, kept alive here, or a copy of its own.
  std::shared_ptr<Tree> tree;
  xmlDocPtr copy = nullptr;
  xmlSchemaPtr schema = nullptr;
  IXMLDOMNode* node = nullptr;     // what add was given, for get
};

class SchemaCache;

// QueryInterface id of SchemaCache, private to the DOM.
extern const IID kSchemaCacheId;

}  // namespace qzwin::msxml

QZ_DECLARE_UUIDOF(qzwin::msxml::SchemaCache, qzwin::msxml::kSchemaCacheId)

namespace qzwin::msxml {

class SchemaCache : public ComObject<SchemaCache, IXMLDOMSchemaCollection> {
 public:
  using Interfaces = InterfaceTable<Answers<IXMLDOMSchemaCollection>, Answers<SchemaCache>>;

  // The collection behind an interface, if it is one of ours (no reference added).
  static SchemaCache* FromInterface(IUnknown* object);

  HRESULT STDMETHODCALLTYPE add(BSTR namespaceURI, VARIANT var) override;
  HRESULT STDMETHODCALLTYPE get(BSTR namespaceURI, IXMLDOMNode** schemaNode) override;
  HRESULT STDMETHODCALLTYPE remove(BSTR namespaceURI) override;
  HRESULT STDMETHODCALLTYPE get_length(LONG* length) override;
  HRESULT STDMETHODCALLTYPE get_namespaceURI(LONG index, BSTR* length) override;
  HRESULT STDMETHODCALLTYPE addCollection(IXMLDOMSchemaCollection* otherCollection) override;
  HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) override { return E_NOTIMPL; }

  // The compiled schema of a namespace ("" for none), or null.
  xmlSchemaPtr Find(const std::string& namespaceUri) const;
  bool empty() const { return entries_.empty(); }

 private:
  void Put(const std::string& namespaceUri, std::shared_ptr<CompiledSchema> schema);
  // Refuses an add: E_FAIL with the reason as the thread's error info.
  HRESULT Refuse(const std::string& reason);

  std::vector<std::pair<std::string, std::shared_ptr<CompiledSchema>>> entries_;
};

}  // namespace qzwin::msxml
