// The walk over the instance: every element bound to an inline schema is
// checked once, against tables compiled once per schema and call.
#include "xdr_validator.h"

#include <libxml/xmlmemory.h>

#include "xdr_errors.h"
#include "xdr_schema.h"

namespace qzwin::msxml {
namespace {

using namespace xdr;

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

bool IsInlineSchemaElement(const xmlNode* node) {
  return NamespaceOf(node) == kXdrNamespace && View(node->name) == "Schema";
}

bool IsBound(const xmlNode* node) { return NamespaceOf(node).starts_with(kInlineSchemaPrefix); }

bool IsWhitespace(const xmlChar* text) {
  for (; text && *text; ++text)
    if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
  return true;
}

// The next node of a pre-order walk that skips the subtree of `node` when
// `descend` is false. Null after the last node of the document.
xmlNodePtr NextInWalk(xmlNodePtr node, bool descend) {
  if (descend && node->children) return node->children;
  while (node && node->type != XML_DOCUMENT_NODE) {
    if (node->next) return node->next;
    node = node->parent;
  }
  return nullptr;
}

// Owns the text libxml2 gives out.
class XmlText {
 public:
  explicit XmlText(xmlChar* text) : text_(text) {}
  ~XmlText() { xmlFree(text_); }
  XmlText(const XmlText&) = delete;
  XmlText& operator=(const XmlText&) = delete;
  std::string_view view() const { return View(text_); }

 private:
  xmlChar* text_;
};

std::string ExpectingList(const ContentModel& model, const std::vector<int>& labels) {
  if (labels.empty()) return "";
  std::string text = " Expected here: ";
  for (size_t i = 0; i < labels.size(); ++i) {
    if (i) text += ", ";
    text += Quoted(model.labels()[labels[i]].name);
  }
  return text + ".";
}

class Validator {
 public:
  Validator(xmlDocPtr doc, XdrError* error, bool apply_defaults)
      : doc_(doc), error_(error), apply_defaults_(apply_defaults) {}

  HRESULT Run() {
    if (!doc_) return Fail(error_, E_INVALIDARG, nullptr, "There is no document to validate.");
    bool any_bound = false;
    for (xmlNodePtr node = doc_->children; node;) {
      bool descend = node->type == XML_ELEMENT_NODE;
      if (descend && IsInlineSchemaElement(node)) {
        RememberSchemaElement(node);
        descend = false;  // the schema is not instance content
      } else if (descend && IsBound(node)) {
        any_bound = true;
        const Schema* schema = nullptr;
        HRESULT hr = SchemaFor(node, &schema);
        if (SUCCEEDED(hr)) hr = CheckElement(node, *schema);
        if (FAILED(hr)) return hr;
      }
      node = NextInWalk(node, descend);
    }
    return any_bound ? S_OK : S_FALSE;
  }

 private:
  void RememberSchemaElement(xmlNodePtr node) {
    xmlChar* name = xmlGetNoNsProp(node, BAD_CAST "name");
    if (!name) return;
    schema_elements_.try_emplace(std::string(View(name)), node);  // the first one counts
    xmlFree(name);
  }

  // Looks the whole document over for Schema elements, once: a schema may be
  // referred to before it appears.
  void RememberAllSchemaElements() {
    if (scanned_all_) return;
    scanned_all_ = true;
    for (xmlNodePtr node = doc_->children; node;) {
      bool descend = node->type == XML_ELEMENT_NODE;
      if (descend && IsInlineSchemaElement(node)) {
        RememberSchemaElement(node);
        descend = false;
      }
      node = NextInWalk(node, descend);
    }
  }

  HRESULT SchemaFor(xmlNodePtr element, const Schema** out) {
    // Elements share their xmlNs with their neighbours: one lookup per declaration.
    if (element->ns == last_ns_) {
      *out = last_schema_;
      return S_OK;
    }
    std::string_view name = NamespaceOf(element).substr(kInlineSchemaPrefix.size());
    auto compiled = schemas_.find(name);
    if (compiled == schemas_.end()) {
      auto found = schema_elements_.find(name);
      if (found == schema_elements_.end()) {
        RememberAllSchemaElements();
        found = schema_elements_.find(name);
      }
      if (found == schema_elements_.end())
        return Fail(error_, kSchemaNotFound, element,
                    "Could not load '" + Quoted(NamespaceOf(element)) +
                        "': the document holds no Schema element named '" + Quoted(name) + "'.");
      std::unique_ptr<Schema> schema;
      HRESULT hr = CompileSchema(found->second, name, &schema, error_);
      if (FAILED(hr)) return hr;
      compiled = schemas_.emplace(std::string(name), std::move(schema)).first;
    }
    last_ns_ = element->ns;
    last_schema_ = compiled->second.get();
    *out = last_schema_;
    return S_OK;
  }

  HRESULT CheckElement(xmlNodePtr element, const Schema& schema) {
    const ElementType* type = schema.FindElementType(View(element->name));
    if (!type)
      return Fail(error_, kElementUndeclared, element,
                  "Element '" + Quoted(QualifiedName(element)) +
                      "' is not declared in its schema.");
    HRESULT hr = CheckAttributes(element, schema, *type);
    if (SUCCEEDED(hr)) hr = CheckContent(element, schema, *type);
    if (SUCCEEDED(hr) && type->datatype) hr = CheckTypedText(element, *type->datatype);
    if (SUCCEEDED(hr) && apply_defaults_) AddDefaults(element, schema, *type);
    return hr;
  }

  HRESULT CheckAttributes(xmlNodePtr element, const Schema& schema, const ElementType& type) {
    for (xmlAttrPtr attr = element->properties; attr; attr = attr->next) {
      std::string_view ns = NamespaceOf(attr);
      std::string_view name = View(attr->name);
      const AttributeDecl* decl = nullptr;
      bool allowed = false;
      if (ns.empty() || ns == schema.ns) {
        const AttributeUse* use = type.FindUse({}, name);
        decl = use ? use->decl : type.open ? schema.FindAttributeType(type, name) : nullptr;
        allowed = use || decl;  // an open model still needs a declaration in its own namespace
      } else if (ns == kXmlNamespace || (ns == kDatatypesNamespace && name == "dt")) {
        allowed = true;  // xml:lang, xml:space and the DOM's own type annotation
      } else {
        const AttributeUse* use = type.FindUse(ns, name);
        decl = use ? use->decl : nullptr;
        allowed = use || type.open;
      }
      if (!allowed)
        return Fail(error_, kAttributeNotDefined, element,
                    "Attribute '" + Quoted(QualifiedName(attr)) +
                        "' is not declared for this element in its schema.");
      if (decl && decl->type.kind != DatatypeKind::kString) {
        HRESULT hr = CheckAttributeValue(element, attr, *decl);
        if (FAILED(hr)) return hr;
      }
    }
    for (const AttributeUse& use : type.attributes) {
      if (!use.required || use.default_value || FindAttribute(element, schema, use)) continue;
      std::string name = use.ns.empty() ? use.name : use.ns + ":" + use.name;
      return Fail(error_, kRequiredAttributeMissing, element,
                  "The element lacks the required attribute '" + Quoted(name) + "'.");
    }
    return S_OK;
  }

  static xmlAttrPtr FindAttribute(xmlNodePtr element, const Schema& schema,
                                  const AttributeUse& use) {
    for (xmlAttrPtr attr = element->properties; attr; attr = attr->next) {
      if (View(attr->name) != use.name) continue;
      std::string_view ns = NamespaceOf(attr);
      if (use.ns.empty() ? (ns.empty() || ns == schema.ns) : ns == use.ns) return attr;
    }
    return nullptr;
  }

  HRESULT CheckAttributeValue(xmlNodePtr element, xmlAttrPtr attr, const AttributeDecl& decl) {
    XmlText value(xmlNodeListGetString(doc_, attr->children, 1));
    if (IsValidValue(decl.type, value.view())) return S_OK;
    if (decl.type.kind == DatatypeKind::kEnumeration)
      return Fail(error_, kAttributeValue, element,
                  "Attribute '" + Quoted(QualifiedName(attr)) +
                      "' holds a value that its schema does not allow.");
    return Fail(error_, kDatatypeParse, element,
                "The value '" + Quoted(value.view()) + "' is not of type " + decl.type.name +
                    " in attribute '" + Quoted(QualifiedName(attr)) + "'.");
  }

  HRESULT CheckContent(xmlNodePtr element, const Schema& schema, const ElementType& type) {
    const ContentModel& model = type.model;
    model.Start(state_);
    bool text_allowed = type.content == Content::kTextOnly || type.content == Content::kMixed;
    // Elements the model does not name: a closed model and empty content admit none;
    // text-only content admits them only when open.
    bool extras_allowed = type.open && type.content != Content::kEmpty;

    for (xmlNodePtr child = element->children; child; child = child->next) {
      switch (child->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
          if (!text_allowed && !IsWhitespace(child->content))
            return Fail(error_, kIllegalText, child,
                        "The schema of this element allows no text in it.");
          break;
        case XML_ENTITY_REF_NODE:
          if (!text_allowed)
            return Fail(error_, kIllegalText, child,
                        "The schema of this element allows no text in it.");
          break;
        case XML_ELEMENT_NODE: {
          HRESULT hr = CheckChildElement(child, schema, type, extras_allowed);
          if (FAILED(hr)) return hr;
          break;
        }
        default:
          break;  // comments and processing instructions may stand anywhere
      }
    }
    if (!model.IsComplete(state_))
      return Fail(error_, kElementNotComplete, element,
                  "The element ends before its schema's content is complete." +
                      ExpectingList(model, model.Expected(state_)));
    return S_OK;
  }

  HRESULT CheckChildElement(xmlNodePtr child, const Schema& schema, const ElementType& type,
                            bool extras_allowed) {
    std::string_view ns = NamespaceOf(child);
    std::string_view name = View(child->name);
    if (ns == schema.ns && !schema.FindElementType(name))
      return Fail(error_, kElementUndeclared, child,
                  "Element '" + Quoted(QualifiedName(child)) +
                      "' is not declared in its schema.");
    int label = type.model.LabelOf(ns, name);
    if (label < 0 && extras_allowed) return S_OK;  // checked on its own when the walk gets there
    if (label >= 0 && type.model.Step(state_, label) == StepResult::kAccepted) return S_OK;
    return Fail(error_, kInvalidContent, child,
                "The element's content does not match its schema." +
                    ExpectingList(type.model, type.model.Expected(state_)));
  }

  HRESULT CheckTypedText(xmlNodePtr element, const Datatype& datatype) {
    if (datatype.kind == DatatypeKind::kString) return S_OK;
    XmlText value(xmlNodeListGetString(doc_, element->children, 1));
    if (IsValidValue(datatype, value.view())) return S_OK;
    return Fail(error_, kDatatypeParse, element,
                "The value '" + Quoted(value.view()) + "' is not of type " + datatype.name +
                    " in element '" + Quoted(QualifiedName(element)) + "'.");
  }

  void AddDefaults(xmlNodePtr element, const Schema& schema, const ElementType& type) {
    for (const AttributeUse& use : type.attributes) {
      if (!use.default_value || FindAttribute(element, schema, use)) continue;
      const xmlChar* value = BAD_CAST use.default_value->c_str();
      if (use.ns.empty()) {
        xmlNewProp(element, BAD_CAST use.name.c_str(), value);
      } else if (xmlNsPtr ns = xmlSearchNsByHref(doc_, element, BAD_CAST use.ns.c_str())) {
        xmlNewNsProp(element, ns, BAD_CAST use.name.c_str(), value);
      }
    }
  }

  xmlDocPtr doc_;
  XdrError* error_;
  bool apply_defaults_;
  NameMap<xmlNodePtr> schema_elements_;
  bool scanned_all_ = false;
  NameMap<std::unique_ptr<Schema>> schemas_;
  xmlNsPtr last_ns_ = nullptr;
  const Schema* last_schema_ = nullptr;
  MatchState state_;
};

}  // namespace

HRESULT ValidateInlineXdr(xmlDocPtr doc, XdrError* error) {
  return Validator(doc, error, /*apply_defaults=*/false).Run();
}

HRESULT ApplyInlineXdrDefaults(xmlDocPtr doc, XdrError* error) {
  return Validator(doc, error, /*apply_defaults=*/true).Run();
}

}  // namespace qzwin::msxml
