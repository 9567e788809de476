// Finding a schema file's entry in a loaded schema cache document.
#pragma once

#include <msxml6.h>

// True when one of the root's QZSchemas lists in doc holds an entry whose
// urn is exactly urn (case-sensitive). When found is
// not null it receives the first such entry's element, with one reference
// for the caller. A null doc, a failed selection or any error inside gives
// false.
bool FindSchemaEntry(const char* urn, IXMLDOMDocument2* doc, IXMLDOMElement** found);
