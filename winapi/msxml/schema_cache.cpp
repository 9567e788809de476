#include "schema_cache.h"

#include <oleauto.h>

#include "document.h"
#include "external_loader.h"
#include "error_collector.h"
#include "node.h"
#include "utf.h"

namespace qzwin::msxml {

const IID kSchemaCacheId = {0x5a0c2d31, 0x7e4b, 0x4c1a, {0x9f, 0x52, 0x3d, 0x86, 0x0b, 0x6e, 0x41, 0x27}};

namespace {

constexpr const char* kXsdNamespace = "http://www.w3.org/2001/XMLSchema";
constexpr const char* kXdrNamespace = "urn:schemas-microsoft-com:xml-data";

bool IsElement(xmlNodePtr node, const char* name, const char* ns) {
  return node != nullptr && xmlStrEqual(node->name, BAD_CAST name) && node->ns != nullptr &&
         xmlStrEqual(node->ns->href, BAD_CAST ns);
}

// Compiling a schema document first strips from it what a schema does not
// read: text of white space only (outside xml:space="preserve"), comments,
// processing instructions and entity references. A tree with none of these
// is compiled as it stands, unchanged; any other is compiled from a copy, so
// that the document the caller sees keeps every node.
bool CompilingLeavesUnchanged(xmlNodePtr root) {
  // The stripping walks on from a childless root to the nodes after it.
  if (root->children == nullptr) return root->next == nullptr;
  // Depth first without recursion: a tree built through the DOM may be deep.
  xmlNodePtr node = root->children;
  while (node != nullptr && node != root) {
    switch (node->type) {
      case XML_ELEMENT_NODE:
      case XML_CDATA_SECTION_NODE:
        break;
      case XML_TEXT_NODE:
        if (xmlIsBlankNode(node) && xmlNodeGetSpacePreserve(node) != 1) return false;
        break;
      default:
        return false;
    }
    if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
      node = node->children;
      continue;
    }
    while (node != root && node->next == nullptr) node = node->parent;
    if (node != root) node = node->next;
  }
  return true;
}

}  // namespace

CompiledSchema::~CompiledSchema() {
  if (schema != nullptr) xmlSchemaFree(schema);
  if (copy != nullptr) xmlFreeDoc(copy);
  if (node != nullptr) node->Release();
}

SchemaCache* SchemaCache::FromInterface(IUnknown* object) {
  void* found = nullptr;
  if (object == nullptr || FAILED(object->QueryInterface(kSchemaCacheId, &found))) return nullptr;
  auto* cache = static_cast<SchemaCache*>(found);
  cache->Release();  // the caller holds the object; the pointer is borrowed
  return cache;
}

HRESULT SchemaCache::Refuse(const std::string& reason) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    std::u16string text = Utf8ToUtf16(reason);
    create->SetGUID(IID_IXMLDOMSchemaCollection);
    create->SetDescription(text.data());
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return E_FAIL;
}

void SchemaCache::Put(const std::string& namespaceUri, std::shared_ptr<CompiledSchema> schema) {
  for (auto& entry : entries_) {
    if (entry.first == namespaceUri) {
      entry.second = std::move(schema);
      return;
    }
  }
  entries_.emplace_back(namespaceUri, std::move(schema));
}

HRESULT SchemaCache::add(BSTR namespaceURI, VARIANT var) {
  std::string key = BstrToUtf8(namespaceURI);
  if (var.vt == VT_NULL || var.vt == VT_EMPTY) return remove(namespaceURI);

  IXMLDOMNode* node = nullptr;
  if (var.vt == VT_BSTR) {
    // A location: load it into a document of our own.
    auto* document = new Document(CLSID_DOMDocument60);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_TRUE);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->load(var, &loaded);
    if (loaded != VARIANT_TRUE) {
      document->Release();
      return Refuse("The schema at '" + BstrToUtf8(var.bstrVal) + "' could not be loaded.");
    }
    node = document;
  } else if ((var.vt == VT_DISPATCH || var.vt == VT_UNKNOWN) && var.punkVal != nullptr) {
    if (FAILED(var.punkVal->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&node)))) {
      return Refuse("The value added is not a DOM node.");
    }
  } else {
    return E_INVALIDARG;
  }

  xmlDocPtr doc = XmlDocOf(node);
  xmlNodePtr root = doc != nullptr ? xmlDocGetRootElement(doc) : nullptr;
  if (IsElement(root, "Schema", kXdrNamespace)) {
    node->Release();
    return Refuse("XDR schemas are not supported; the schema must be an XML Schema (XSD).");
  }
  if (!IsElement(root, "schema", kXsdNamespace)) {
    node->Release();
    return Refuse("The document is not an XML Schema: its root is not a schema element of '" +
                  std::string(kXsdNamespace) + "'.");
  }
  xmlChar* target = xmlGetNoNsProp(root, BAD_CAST "targetNamespace");
  std::string targetNamespace = target != nullptr ? reinterpret_cast<const char*>(target) : "";
  xmlFree(target);
  if (targetNamespace != key) {
    node->Release();
    return Refuse("The namespace '" + key + "' does not match the schema's targetNamespace '" + targetNamespace +
                  "'.");
  }

  auto compiled = std::make_shared<CompiledSchema>();
  compiled->node = node;
  xmlDocPtr source = doc;
  if (CompilingLeavesUnchanged(root)) {
    compiled->tree = NodeFromInterface(node)->tree();
  } else {
    compiled->copy = source = xmlCopyDoc(doc, 1);
    if (source == nullptr) return E_OUTOFMEMORY;
  }
  FirstErrorCollector errors;
  {
    InstallExternalLoader();
    ExternalFilesAllowed externals(true);  // includes and imports from local files
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewDocParserCtxt(source);
    if (parser == nullptr) return E_OUTOFMEMORY;
    xmlSchemaSetParserStructuredErrors(parser, FirstErrorCollector::Collect, &errors);
    compiled->schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
  }
  if (compiled->schema == nullptr) {
    return Refuse("The schema for '" + key + "' does not compile: " +
                  (errors.found() ? errors.message() : std::string("it is not a valid XML Schema.")));
  }
  Put(key, std::move(compiled));
  return S_OK;
}

HRESULT SchemaCache::get(BSTR namespaceURI, IXMLDOMNode** schemaNode) {
  if (schemaNode == nullptr) return E_INVALIDARG;
  *schemaNode = nullptr;
  std::string key = BstrToUtf8(namespaceURI);
  for (const auto& entry : entries_) {
    if (entry.first == key) {
      entry.second->node->AddRef();
      *schemaNode = entry.second->node;
      return S_OK;
    }
  }
  return S_FALSE;
}

HRESULT SchemaCache::remove(BSTR namespaceURI) {
  std::string key = BstrToUtf8(namespaceURI);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first == key) {
      entries_.erase(it);
      break;
    }
  }
  return S_OK;
}

HRESULT SchemaCache::get_length(LONG* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = static_cast<LONG>(entries_.size());
  return S_OK;
}

HRESULT SchemaCache::get_namespaceURI(LONG index, BSTR* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = nullptr;
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return E_FAIL;
  return ReturnBstr(entries_[index].first, length);
}

HRESULT SchemaCache::addCollection(IXMLDOMSchemaCollection* otherCollection) {
  SchemaCache* other = FromInterface(otherCollection);
  if (other == nullptr) return E_INVALIDARG;
  if (other == this) return S_OK;
  for (const auto& entry : other->entries_) Put(entry.first, entry.second);
  return S_OK;
}

xmlSchemaPtr SchemaCache::Find(const std::string& namespaceUri) const {
  for (const auto& entry : entries_) {
    if (entry.first == namespaceUri) return entry.second->schema;
  }
  return nullptr;
}

}  // namespace qzwin::msxml
