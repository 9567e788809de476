// Validation as validate() and a validating load do it: the DTD (as libxml2
// validates it), inline XDR schemas (x-schema:#Name) and the XSD schemas of
// the document's schema collection, each over the subtrees of its namespace.
#pragma once

#include <libxml/tree.h>
#include <msxml6.h>

#include "parse_error.h"

namespace qzwin::msxml {

// S_OK: valid against everything that applies. S_FALSE: nothing applies.
// Else the parse-error code of the first fault, described in *error.
HRESULT ValidateDocument(xmlDocPtr doc, IXMLDOMSchemaCollection* schemas, ParseErrorInfo* error);

// After a validating load: the attribute defaults of inline XDR schemas.
void ApplySchemaDefaults(xmlDocPtr doc);

// What a validating load does: ValidateDocument and, when that gives S_OK,
// ApplySchemaDefaults; in one pass over the inline XDR schemas when no XSD
// schema comes after them (the defaults could change what those see).
HRESULT ValidateLoadedDocument(xmlDocPtr doc, IXMLDOMSchemaCollection* schemas, ParseErrorInfo* error);

}  // namespace qzwin::msxml
