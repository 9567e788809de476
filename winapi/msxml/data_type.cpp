#include "data_type.h"

#include <array>
#include <strings.h>

#include <oleauto.h>

#include "node.h"
#include "utf.h"

namespace qzwin::msxml {

namespace {

constexpr std::array kTypeNames = {
    "bin.base64", "bin.hex", "boolean", "char", "date", "dateTime", "dateTime.tz", "entity", "entities",
    "enumeration", "fixed.14.4", "float", "i1", "i2", "i4", "i8", "id", "idref", "idrefs", "int", "nmtoken",
    "nmtokens", "notation", "number", "r4", "r8", "string", "time", "time.tz", "ui1", "ui2", "ui4", "ui8", "uri",
    "uuid"};

const char* CanonicalTypeName(const std::string& name) {
  for (const char* known : kTypeNames) {
    if (strcasecmp(known, name.c_str()) == 0) return known;
  }
  return nullptr;
}

xmlAttrPtr TypeAttribute(xmlNodePtr element) {
  xmlAttrPtr attr = xmlHasNsProp(element, BAD_CAST "dt", BAD_CAST kDatatypesNamespace);
  return attr != nullptr && attr->type == XML_ATTRIBUTE_NODE ? attr : nullptr;
}

// The datatypes namespace in scope of `element`, declared on it if needed
// under "dt" (or "dt1", "dt2", ... when "dt" means something else there).
xmlNsPtr DatatypesNamespace(xmlNodePtr element) {
  if (xmlNsPtr ns = xmlSearchNsByHref(element->doc, element, BAD_CAST kDatatypesNamespace)) {
    if (ns->prefix != nullptr) return ns;
  }
  std::string prefix = "dt";
  for (int n = 1; xmlSearchNs(element->doc, element, BAD_CAST prefix.c_str()) != nullptr; ++n) {
    prefix = "dt" + std::to_string(n);
  }
  return xmlNewNs(element, BAD_CAST kDatatypesNamespace, BAD_CAST prefix.c_str());
}

}  // namespace

HRESULT GetDataType(xmlNodePtr node, VARIANT* name) {
  if (name == nullptr) return E_INVALIDARG;
  VariantInit(name);
  xmlAttrPtr attr = node->type == XML_ELEMENT_NODE ? TypeAttribute(node) : nullptr;
  if (attr == nullptr) {
    name->vt = VT_NULL;
    return S_FALSE;
  }
  return ReturnBstrVariant(NodeText(reinterpret_cast<xmlNodePtr>(attr)), name);
}

HRESULT PutDataType(xmlNodePtr node, const std::string& name) {
  if (name.empty()) {
    // Nothing declared: an existing declaration goes, its node stays valid.
    if (node->type == XML_ELEMENT_NODE) {
      if (xmlAttrPtr attr = TypeAttribute(node)) {
        if (auto* base = static_cast<NodeBase*>(node->_private)) {
          base->tree()->Detach(reinterpret_cast<xmlNodePtr>(attr));
        } else {
          xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(attr));
          xmlFreeProp(attr);
        }
      }
    }
    return S_OK;
  }
  const char* canonical = CanonicalTypeName(name);
  if (canonical == nullptr || node->type != XML_ELEMENT_NODE) return E_FAIL;
  xmlNsPtr ns = DatatypesNamespace(node);
  if (ns == nullptr) return E_OUTOFMEMORY;
  if (xmlAttrPtr attr = TypeAttribute(node)) {
    SetAttributeValue(attr, canonical);
    return S_OK;
  }
  return xmlNewNsProp(node, ns, BAD_CAST "dt", BAD_CAST canonical) != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace qzwin::msxml
