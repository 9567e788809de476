#include "validation.h"

#include <memory>

#include <libxml/valid.h>
#include <libxml/xmlschemas.h>

#include "error_collector.h"
#include "parse_error_codes.h"
#include "schema_cache.h"
#include "xdr/xdr_validator.h"

namespace qzwin::msxml {

namespace {

void Describe(HRESULT code, const std::string& reason, xmlNodePtr node, int line, ParseErrorInfo* error) {
  error->code = code;
  error->reason = reason;
  error->srcText = std::string();
  long nodeLine = node != nullptr ? xmlGetLineNo(node) : -1;
  error->line = nodeLine > 0 ? static_cast<LONG>(nodeLine) : (line > 0 ? line : 0);
  error->linepos = 0;
  error->filepos = 0;
}

HRESULT DtdCode(int code) {
  switch (code) {
    case XML_DTD_UNKNOWN_ELEM: case XML_DTD_NO_ELEM_NAME: case XML_DTD_ROOT_NAME:
      return kElementNotDeclared;
    case XML_DTD_MISSING_ATTRIBUTE:
      return kRequiredAttributeMissing;
    default:
      return kInvalidContent;
  }
}

HRESULT SchemaCode(int code) {
  switch (code) {
    case XML_SCHEMAV_CVC_ELT_1:
      return kElementNotDeclared;
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_4:
      return kRequiredAttributeMissing;
    default:
      return kInvalidContent;
  }
}

HRESULT ValidateDtd(xmlDocPtr doc, ParseErrorInfo* error) {
  std::unique_ptr<xmlValidCtxt, decltype(&xmlFreeValidCtxt)> context(xmlNewValidCtxt(), xmlFreeValidCtxt);
  if (!context) return E_OUTOFMEMORY;
  FirstErrorCollector errors;
  if (xmlValidateDocument(context.get(), doc) == 1 && !errors.found()) return S_OK;
  Describe(errors.found() ? DtdCode(errors.code()) : kInvalidContent,
           errors.found() ? errors.message() : "The document is not valid against its DTD.", errors.node(),
           errors.line(), error);
  return error->code;
}

std::string NamespaceOf(xmlNodePtr element) {
  return element->ns != nullptr && element->ns->href != nullptr ? reinterpret_cast<const char*>(element->ns->href)
                                                                 : "";
}

// Validates every element whose namespace has a schema in the collection
// and whose parent is not in that namespace: the roots of the subtrees.
HRESULT ValidateXsd(xmlDocPtr doc, SchemaCache* schemas, bool* applied, ParseErrorInfo* error) {
  xmlNodePtr root = xmlDocGetRootElement(doc);
  xmlNodePtr node = root;
  while (node != nullptr) {
    bool descend = true;
    if (node->type == XML_ELEMENT_NODE) {
      std::string ns = NamespaceOf(node);
      bool parentSame = node->parent != nullptr && node->parent->type == XML_ELEMENT_NODE &&
                        NamespaceOf(node->parent) == ns;
      xmlSchemaPtr schema = parentSame ? nullptr : schemas->Find(ns);
      if (schema != nullptr) {
        *applied = true;
        descend = false;  // the schema validates the whole subtree
        std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> context(
            xmlSchemaNewValidCtxt(schema), xmlSchemaFreeValidCtxt);
        if (!context) return E_OUTOFMEMORY;
        FirstErrorCollector errors;
        xmlSchemaSetValidStructuredErrors(context.get(), FirstErrorCollector::Collect, &errors);
        int result = xmlSchemaValidateOneElement(context.get(), node);
        if (result != 0 || errors.found()) {
          Describe(errors.found() ? SchemaCode(errors.code()) : kInvalidContent,
                   errors.found() ? errors.message() : "The document is not valid against its schema.",
                   errors.node() != nullptr ? errors.node() : node, errors.line(), error);
          return error->code;
        }
      }
    } else {
      descend = false;
    }
    if (descend && node->children != nullptr) {
      node = node->children;
      continue;
    }
    while (node != nullptr && node != root && node->next == nullptr) node = node->parent;
    if (node == nullptr || node == root) break;
    node = node->next;
  }
  return S_OK;
}

// ValidateDocument; with applyDefaults, the inline XDR schemas also give
// their attribute defaults as they validate.
HRESULT Validate(xmlDocPtr doc, IXMLDOMSchemaCollection* schemas, bool applyDefaults, ParseErrorInfo* error) {
  *error = ParseErrorInfo{};
  bool applied = false;

  if (doc->intSubset != nullptr || doc->extSubset != nullptr) {
    applied = true;
    HRESULT hr = ValidateDtd(doc, error);
    if (hr != S_OK) return hr;
  }

  XdrError xdr;
  HRESULT hr = applyDefaults ? ApplyInlineXdrDefaults(doc, &xdr) : ValidateInlineXdr(doc, &xdr);
  if (FAILED(hr)) {
    Describe(hr, xdr.reason, xdr.node, 0, error);
    return hr;
  }
  if (hr == S_OK) applied = true;

  if (SchemaCache* cache = SchemaCache::FromInterface(schemas); cache != nullptr && !cache->empty()) {
    hr = ValidateXsd(doc, cache, &applied, error);
    if (hr != S_OK) return hr;
  }

  if (!applied) {
    error->code = kNothingToValidate;
    error->reason = "The document names no DTD or schema to validate against.";
    return S_FALSE;
  }
  return S_OK;
}

}  // namespace

HRESULT ValidateDocument(xmlDocPtr doc, IXMLDOMSchemaCollection* schemas, ParseErrorInfo* error) {
  return Validate(doc, schemas, /*applyDefaults=*/false, error);
}

void ApplySchemaDefaults(xmlDocPtr doc) {
  XdrError ignored;
  ApplyInlineXdrDefaults(doc, &ignored);
}

HRESULT ValidateLoadedDocument(xmlDocPtr doc, IXMLDOMSchemaCollection* schemas, ParseErrorInfo* error) {
  SchemaCache* cache = SchemaCache::FromInterface(schemas);
  if (cache != nullptr && !cache->empty()) {
    HRESULT hr = ValidateDocument(doc, schemas, error);
    if (hr == S_OK) ApplySchemaDefaults(doc);
    return hr;
  }
  // No XSD schema comes after the inline XDR ones, so their defaults go in
  // as they validate. A document that fails is dropped by the load.
  return Validate(doc, schemas, /*applyDefaults=*/true, error);
}

}  // namespace qzwin::msxml
