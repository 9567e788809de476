#include "xdr_schema.h"

#include <libxml/xmlmemory.h>

#include "xdr_errors.h"

namespace qzwin::msxml::xdr {
namespace {

// An attribute's value, or nothing when the attribute is absent. An empty
// ns names an unqualified attribute.
std::optional<std::string> Attribute(xmlNodePtr node, const char* name,
                                     std::string_view ns = {}) {
  xmlChar* value = ns.empty()
                       ? xmlGetNoNsProp(node, BAD_CAST name)
                       : xmlGetNsProp(node, BAD_CAST name, BAD_CAST std::string(ns).c_str());
  if (!value) return std::nullopt;
  std::string text(View(value));
  xmlFree(value);
  return text;
}

bool IsXdrElement(xmlNodePtr node) {
  return node->type == XML_ELEMENT_NODE && NamespaceOf(node) == kXdrNamespace;
}

bool Named(xmlNodePtr node, std::string_view name) { return View(node->name) == name; }

std::string QuoteNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "'" : ", '") + name + "'";
  return text;
}

class Compiler {
 public:
  Compiler(xmlNodePtr root, Schema& schema, XdrError* error)
      : root_(root), schema_(schema), error_(error) {}

  HRESULT Run() {
    // Attribute types of the schema first, then the names of all element
    // types, so that declarations may refer to ones declared after them.
    std::vector<std::pair<xmlNodePtr, ElementType*>> element_types;
    for (xmlNodePtr child = root_->children; child; child = child->next) {
      if (!IsXdrElement(child)) continue;
      HRESULT hr = S_OK;
      if (Named(child, "AttributeType")) hr = CompileAttributeType(child, schema_.attribute_types);
      else if (Named(child, "ElementType")) hr = DeclareElementType(child, element_types);
      else if (!Named(child, "description")) hr = NotAllowedHere(child, "a Schema");
      if (FAILED(hr)) return hr;
    }
    for (auto [node, type] : element_types) {
      HRESULT hr = CompileElementType(node, *type);
      if (FAILED(hr)) return hr;
    }
    return S_OK;
  }

 private:
  HRESULT NotAllowedHere(xmlNodePtr node, const char* where) {
    return Fail(error_, kSchemaElementNotSupported, node,
                "The schema element '" + Quoted(QualifiedName(node)) + "' is not allowed in " +
                    where + ".");
  }

  HRESULT CompileAttributeType(xmlNodePtr node, NameMap<std::unique_ptr<AttributeDecl>>& scope) {
    std::optional<std::string> name = Attribute(node, "name");
    if (!name || name->empty())
      return Fail(error_, kAttributeTypeNameMissing, node,
                  "An AttributeType declaration has no name.");
    if (scope.count(*name))
      return Fail(error_, kAttributeDuplicated, node,
                  "The attribute type '" + Quoted(*name) + "' is declared twice.");
    auto decl = std::make_unique<AttributeDecl>();
    decl->name = *name;
    std::optional<Datatype> type;
    HRESULT hr = ReadDatatype(node, /*for_attribute=*/true, &type);
    if (FAILED(hr)) return hr;
    if (type) decl->type = std::move(*type);
    hr = ReadRequired(node, &decl->required);
    if (FAILED(hr)) return hr;
    decl->default_value = Attribute(node, "default");
    hr = CheckDefault(node, decl->type, decl->default_value);
    if (FAILED(hr)) return hr;
    scope.emplace(*name, std::move(decl));
    return S_OK;
  }

  HRESULT DeclareElementType(xmlNodePtr node,
                             std::vector<std::pair<xmlNodePtr, ElementType*>>& declared) {
    std::optional<std::string> name = Attribute(node, "name");
    if (!name || name->empty())
      return Fail(error_, kElementTypeNameMissing, node, "An ElementType declaration has no name.");
    auto [entry, added] = schema_.element_types.emplace(*name, std::make_unique<ElementType>());
    if (!added)
      return Fail(error_, kElementTypeDefined, node,
                  "The element type '" + Quoted(*name) + "' is declared twice.");
    entry->second->name = *name;
    declared.emplace_back(node, entry->second.get());
    return S_OK;
  }

  HRESULT CompileElementType(xmlNodePtr node, ElementType& type) {
    std::optional<std::string> content = Attribute(node, "content");
    std::optional<std::string> model = Attribute(node, "model");
    std::optional<Order> order;
    HRESULT hr = ReadOrder(node, &order);
    if (FAILED(hr)) return hr;

    if (model && *model != "open" && *model != "closed")
      return Fail(error_, kModelUnknown, node,
                  "The model '" + Quoted(*model) + "' of element type '" + Quoted(type.name) +
                      "' is neither 'open' nor 'closed'.");
    type.open = !model || *model == "open";

    hr = ReadDatatype(node, /*for_attribute=*/false, &type.datatype);
    if (FAILED(hr)) return hr;

    if (!content) {
      type.content = type.datatype ? Content::kTextOnly : Content::kMixed;
    } else if (*content == "empty") {
      type.content = Content::kEmpty;
    } else if (*content == "textOnly") {
      type.content = Content::kTextOnly;
    } else if (*content == "eltOnly") {
      type.content = Content::kEltOnly;
    } else if (*content == "mixed") {
      type.content = Content::kMixed;
    } else {
      return Fail(error_, kContentUnknown, node,
                  "The content '" + Quoted(*content) + "' of element type '" + Quoted(type.name) +
                      "' is not one of 'empty', 'textOnly', 'eltOnly' or 'mixed'.");
    }
    if (type.datatype && type.content != Content::kTextOnly)
      return Fail(error_, kDatatypeNeedsTextOnly, node,
                  "The element type '" + Quoted(type.name) +
                      "' has a data type, so its content must be 'textOnly'.");
    if (type.content == Content::kMixed && order && *order != Order::kMany)
      return Fail(error_, kMixedNeedsOrderMany, node,
                  "The element type '" + Quoted(type.name) +
                      "' has mixed content, so its order must be 'many'.");

    Particle root;
    root.is_group = true;
    root.order = order ? *order : type.content == Content::kMixed ? Order::kMany : Order::kSeq;
    labels_.clear();
    positions_ = 0;

    // Local attribute types first: an `attribute` may come before its declaration.
    for (xmlNodePtr child = node->children; child; child = child->next) {
      if (!IsXdrElement(child) || !Named(child, "AttributeType")) continue;
      hr = CompileAttributeType(child, type.local_attribute_types);
      if (FAILED(hr)) return hr;
    }
    for (xmlNodePtr child = node->children; child; child = child->next) {
      if (!IsXdrElement(child) || Named(child, "AttributeType")) continue;
      if (Named(child, "attribute")) {
        hr = CompileAttributeUse(child, type);
      } else if (Named(child, "element") || Named(child, "group")) {
        hr = CheckChildrenAllowed(child, type);
        if (SUCCEEDED(hr)) {
          root.children.emplace_back();
          hr = CompileParticle(child, 1, root.children.back());
        }
      } else if (!Named(child, "datatype") && !Named(child, "description")) {
        hr = NotAllowedHere(child, "an ElementType");
      }
      if (FAILED(hr)) return hr;
    }
    type.model = ContentModel(root, std::move(labels_));
    return S_OK;
  }

  HRESULT CheckChildrenAllowed(xmlNodePtr child, const ElementType& type) {
    if (type.content == Content::kEmpty)
      return Fail(error_, kElementInEmpty, child,
                  "The element type '" + Quoted(type.name) +
                      "' has empty content and cannot name child elements.");
    if (type.content == Content::kTextOnly)
      return Fail(error_, Named(child, "group") ? kGroupInTextOnly : kElementInTextOnly, child,
                  "The element type '" + Quoted(type.name) +
                      "' has text-only content and cannot name child elements.");
    return S_OK;
  }

  // An `element` reference or a `group` (nested `depth` groups deep).
  HRESULT CompileParticle(xmlNodePtr node, int depth, Particle& particle) {
    HRESULT hr = ReadOccurs(node, particle);
    if (FAILED(hr)) return hr;
    if (Named(node, "element")) {
      if (++positions_ > ContentModel::kMaxPositions)
        return Fail(error_, kSchemaElementNotSupported, node,
                    "An element type may name at most " +
                        std::to_string(ContentModel::kMaxPositions) + " child elements.");
      return ResolveElementLabel(node, &particle.label);
    }
    if (depth > kMaxGroupDepth)
      return Fail(error_, kSchemaElementNotSupported, node,
                  "Groups are nested more than " + std::to_string(kMaxGroupDepth) + " deep.");
    particle.is_group = true;
    std::optional<Order> order;
    hr = ReadOrder(node, &order);
    if (FAILED(hr)) return hr;
    particle.order = order ? *order : Order::kSeq;
    for (xmlNodePtr child = node->children; child; child = child->next) {
      if (!IsXdrElement(child) || Named(child, "description")) continue;
      if (!Named(child, "element") && !Named(child, "group")) return NotAllowedHere(child, "a group");
      particle.children.emplace_back();
      hr = CompileParticle(child, depth + 1, particle.children.back());
      if (FAILED(hr)) return hr;
    }
    if (particle.children.empty())
      return Fail(error_, kGroupWithoutElement, node, "A group must name at least one element.");
    return S_OK;
  }

  // Splits a reference "prefix:name" or "name" into the namespace it names
  // (the schema's own without a prefix) and the local name. False for a
  // prefix that is not bound.
  bool ResolveReference(xmlNodePtr node, const std::string& reference, ExpandedName* out) {
    size_t colon = reference.find(':');
    if (colon == std::string::npos) {
      *out = {schema_.ns, reference};
      return true;
    }
    xmlNsPtr ns = xmlSearchNs(node->doc, node, BAD_CAST reference.substr(0, colon).c_str());
    if (!ns) return false;
    *out = {std::string(View(ns->href)), reference.substr(colon + 1)};
    return true;
  }

  HRESULT ResolveElementLabel(xmlNodePtr node, int* label) {
    std::optional<std::string> type = Attribute(node, "type");
    if (!type || type->empty())
      return Fail(error_, kElementRefTypeMissing, node,
                  "An element reference has no 'type' attribute.");
    ExpandedName wanted;
    if (!ResolveReference(node, *type, &wanted))
      return Fail(error_, kElementTypeUndefined, node,
                  "The element reference '" + Quoted(*type) + "' uses an undeclared prefix.");
    if (wanted.ns == schema_.ns && !schema_.element_types.count(wanted.name))
      return Fail(error_, kElementTypeUndefined, node,
                  "Reference to undeclared element type '" + Quoted(wanted.name) + "'.");
    for (size_t i = 0; i < labels_.size(); ++i) {
      if (labels_[i].ns == wanted.ns && labels_[i].name == wanted.name) {
        *label = static_cast<int>(i);
        return S_OK;
      }
    }
    *label = static_cast<int>(labels_.size());
    labels_.push_back(std::move(wanted));
    return S_OK;
  }

  HRESULT CompileAttributeUse(xmlNodePtr node, ElementType& type) {
    std::optional<std::string> name = Attribute(node, "type");
    if (!name || name->empty())
      return Fail(error_, kAttributeRefTypeMissing, node,
                  "An attribute reference has no 'type' attribute.");
    ExpandedName target;
    if (!ResolveReference(node, *name, &target))
      return Fail(error_, kAttributeTypeUndeclared, node,
                  "The attribute reference '" + Quoted(*name) + "' uses an undeclared prefix.");
    AttributeUse use;
    use.name = std::move(target.name);
    if (target.ns != schema_.ns) use.ns = std::move(target.ns);  // unqualified otherwise
    if (use.ns.empty()) {
      use.decl = schema_.FindAttributeType(type, use.name);
      if (!use.decl)
        return Fail(error_, kAttributeTypeUndeclared, node,
                    "The attribute '" + Quoted(use.name) +
                        "' is referred to but has no AttributeType declaration.");
    }
    if (type.FindUse(use.ns, use.name))
      return Fail(error_, kAttributeDuplicated, node,
                  "The attribute '" + Quoted(*name) + "' is referred to twice in element type '" +
                      Quoted(type.name) + "'.");
    use.required = use.decl && use.decl->required;
    HRESULT hr = ReadRequired(node, &use.required);
    if (FAILED(hr)) return hr;
    use.default_value = Attribute(node, "default");
    if (use.default_value) {
      static const Datatype kAnyText;
      hr = CheckDefault(node, use.decl ? use.decl->type : kAnyText, use.default_value);
      if (FAILED(hr)) return hr;
    } else if (use.decl) {
      use.default_value = use.decl->default_value;
    }
    type.attributes.push_back(std::move(use));
    return S_OK;
  }

  // dt:type on the node or on its `datatype` child; dt:values for enumerations.
  HRESULT ReadDatatype(xmlNodePtr node, bool for_attribute, std::optional<Datatype>* out) {
    xmlNodePtr holder = node;
    std::optional<std::string> name = Attribute(node, "type", kDatatypesNamespace);
    for (xmlNodePtr child = node->children; child; child = child->next) {
      if (!IsXdrElement(child) || !Named(child, "datatype")) continue;
      if (name)
        return Fail(error_, kDatatypeDuplicated, child,
                    "The data type of '" + Quoted(Attribute(node, "name").value_or("")) +
                        "' is given twice.");
      name = Attribute(child, "type", kDatatypesNamespace);
      if (!name)
        return Fail(error_, kDatatypeTypeMissing, child, "A datatype element has no dt:type.");
      holder = child;
    }
    std::optional<std::string> values = Attribute(holder, "values", kDatatypesNamespace);
    if (!values && holder != node) values = Attribute(node, "values", kDatatypesNamespace);
    if (!name) {
      if (values)
        return Fail(error_, kValuesWithoutEnumeration, holder,
                    "dt:values is given without dt:type=\"enumeration\".");
      return S_OK;
    }
    std::optional<Datatype> type = DatatypeFromName(*name);
    bool enumeration = type && type->kind == DatatypeKind::kEnumeration;
    if (!type || (enumeration && !for_attribute))
      return Fail(error_, for_attribute ? kAttributeDatatypeUnknown : kElementDatatypeUnknown,
                  holder, "The data type '" + Quoted(*name) + "' is not supported here.");
    if (enumeration) {
      if (values) type->values = SplitValues(*values);
      if (type->values.empty())
        return Fail(error_, kEnumerationWithoutValues, holder,
                    "An enumeration needs a list of values in dt:values.");
    } else if (values) {
      return Fail(error_, kValuesWithoutEnumeration, holder,
                  "dt:values is given without dt:type=\"enumeration\".");
    }
    *out = std::move(type);
    return S_OK;
  }

  HRESULT ReadRequired(xmlNodePtr node, bool* required) {
    std::optional<std::string> value = Attribute(node, "required");
    if (!value) return S_OK;
    if (*value != "yes" && *value != "no")
      return Fail(error_, kRequiredValueInvalid, node,
                  "The value '" + Quoted(*value) + "' of 'required' is neither 'yes' nor 'no'.");
    *required = *value == "yes";
    return S_OK;
  }

  HRESULT CheckDefault(xmlNodePtr node, const Datatype& type,
                       const std::optional<std::string>& value) {
    if (!value || IsValidValue(type, *value)) return S_OK;
    std::string reason = "The default value '" + Quoted(*value) + "' is not a valid " + type.name;
    if (type.kind == DatatypeKind::kEnumeration)
      reason += " (one of " + Quoted(QuoteNames(type.values)) + ")";
    return Fail(error_, kDefaultValueInvalid, node, reason + ".");
  }

  HRESULT ReadOrder(xmlNodePtr node, std::optional<Order>* order) {
    std::optional<std::string> value = Attribute(node, "order");
    if (!value) return S_OK;
    if (*value == "seq") *order = Order::kSeq;
    else if (*value == "one") *order = Order::kOne;
    else if (*value == "many") *order = Order::kMany;
    else
      return Fail(error_, kOrderUnknown, node,
                  "The order '" + Quoted(*value) + "' is not one of 'seq', 'one' or 'many'.");
    return S_OK;
  }

  HRESULT ReadOccurs(xmlNodePtr node, Particle& particle) {
    std::optional<std::string> min = Attribute(node, "minOccurs");
    std::optional<std::string> max = Attribute(node, "maxOccurs");
    if (min && *min != "0" && *min != "1")
      return Fail(error_, kMinOccursInvalid, node,
                  "The minOccurs value '" + Quoted(*min) + "' is neither '0' nor '1'.");
    if (max && *max != "1" && *max != "*")
      return Fail(error_, kMaxOccursInvalid, node,
                  "The maxOccurs value '" + Quoted(*max) + "' is neither '1' nor '*'.");
    particle.optional = min && *min == "0";
    particle.repeatable = max && *max == "*";
    return S_OK;
  }

  xmlNodePtr root_;
  Schema& schema_;
  XdrError* error_;
  std::vector<ExpandedName> labels_;  // of the element type being compiled
  size_t positions_ = 0;              // element references in it
};

}  // namespace

const AttributeUse* ElementType::FindUse(std::string_view ns, std::string_view name) const {
  for (const AttributeUse& use : attributes)
    if (use.name == name && use.ns == ns) return &use;
  return nullptr;
}

const ElementType* Schema::FindElementType(std::string_view name) const {
  auto it = element_types.find(name);
  return it == element_types.end() ? nullptr : it->second.get();
}

const AttributeDecl* Schema::FindAttributeType(const ElementType& type,
                                               std::string_view name) const {
  auto local = type.local_attribute_types.find(name);
  if (local != type.local_attribute_types.end()) return local->second.get();
  auto global = attribute_types.find(name);
  return global == attribute_types.end() ? nullptr : global->second.get();
}

HRESULT CompileSchema(xmlNodePtr schema_element, std::string_view name,
                      std::unique_ptr<Schema>* out, XdrError* error) {
  auto schema = std::make_unique<Schema>();
  schema->name = std::string(name);
  schema->ns = std::string(kInlineSchemaPrefix) + schema->name;
  HRESULT hr = Compiler(schema_element, *schema, error).Run();
  if (FAILED(hr)) return hr;
  *out = std::move(schema);
  return S_OK;
}

}  // namespace qzwin::msxml::xdr
