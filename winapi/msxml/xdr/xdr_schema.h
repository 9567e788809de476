// An inline XDR schema compiled into lookup tables: its element types with
// their content models and attribute uses, and its attribute types.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xdr_content_model.h"
#include "xdr_datatypes.h"
#include "xdr_names.h"
#include "xdr_validator.h"

namespace qzwin::msxml::xdr {

// Deepest nesting of `group` elements that a schema may use.
inline constexpr int kMaxGroupDepth = 64;

// An AttributeType.
struct AttributeDecl {
  std::string name;
  Datatype type;
  bool required = false;
  std::optional<std::string> default_value;
};

// An `attribute` reference of an element type, with what it overrides.
struct AttributeUse {
  std::string ns;  // empty for an unqualified attribute
  std::string name;
  const AttributeDecl* decl = nullptr;  // null for an attribute of another schema: any text
  bool required = false;
  std::optional<std::string> default_value;
};

enum class Content { kEmpty, kTextOnly, kEltOnly, kMixed };

struct ElementType {
  std::string name;
  Content content = Content::kMixed;
  bool open = true;
  std::optional<Datatype> datatype;  // the element's text is of this type
  NameMap<std::unique_ptr<AttributeDecl>> local_attribute_types;
  std::vector<AttributeUse> attributes;
  ContentModel model;

  const AttributeUse* FindUse(std::string_view ns, std::string_view name) const;
};

struct Schema {
  std::string name;
  std::string ns;  // "x-schema:#" + name
  NameMap<std::unique_ptr<ElementType>> element_types;
  NameMap<std::unique_ptr<AttributeDecl>> attribute_types;  // declared at the top

  const ElementType* FindElementType(std::string_view name) const;
  // The attribute type that an attribute of this name has on an element of
  // type `type`: the type's own declaration first, then the schema's.
  const AttributeDecl* FindAttributeType(const ElementType& type, std::string_view name) const;
};

// Compiles the Schema element `schema_element` (whose name is `name`).
// On a fault of the schema returns a failing HRESULT and fills *error.
HRESULT CompileSchema(xmlNodePtr schema_element, std::string_view name,
                      std::unique_ptr<Schema>* out, XdrError* error);

}  // namespace qzwin::msxml::xdr
