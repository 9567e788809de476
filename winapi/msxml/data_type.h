// The dataType of a node: the dt:dt attribute of the datatypes namespace.
#pragma once

#include <string>

#include <libxml/tree.h>
#include <oaidl.h>

namespace qzwin::msxml {

inline constexpr const char* kDatatypesNamespace = "urn:schemas-microsoft-com:datatypes";

// VT_BSTR with the type's name, or VT_NULL and S_FALSE when none is declared.
HRESULT GetDataType(xmlNodePtr node, VARIANT* name);
// Declares the type (names are case-insensitive); "" removes any declaration.
// E_FAIL for an unknown name or a node that cannot carry a type.
HRESULT PutDataType(xmlNodePtr node, const std::string& name);

}  // namespace qzwin::msxml
