// Inline XDR schema validation over a libxml2 tree.
//
// An element whose namespace is "x-schema:#Name" is described by the element
// <Schema name="Name" xmlns="urn:schemas-microsoft-com:xml-data"> of the same
// document. The DOM runs these checks on a validating load and in validate().
#pragma once

#include <string>

#include <libxml/tree.h>
#include <winerror.h>

namespace qzwin::msxml {

struct XdrError {
  HRESULT code = S_OK;        // a parse-error code 0xC00CExxx
  std::string reason;         // UTF-8, one English sentence
  xmlNodePtr node = nullptr;  // where the fault was found (for line numbers and source text)
};

// Validates the elements (and their attributes) whose namespace is
// "x-schema:#Name" against the inline Schema element named Name.
// S_OK: valid. S_FALSE: no element refers to an inline XDR schema.
// Else a failing HRESULT, with the details in *error (which may be null).
// The Schema elements and their subtrees are not instance content.
HRESULT ValidateInlineXdr(xmlDocPtr doc, XdrError* error);

// Validates exactly as ValidateInlineXdr does and, as it goes, gives every
// element bound to an inline schema the attributes that its element type
// declares with a default value and that the element leaves out, as a
// validating load does. Same results as ValidateInlineXdr; after a failure,
// the elements before the fault may already hold their defaults.
HRESULT ApplyInlineXdrDefaults(xmlDocPtr doc, XdrError* error);

}  // namespace qzwin::msxml
