// Makes the DOM documents that the system's own code loads, queries and saves,
// and the free-threaded ones that hold the schemas of the collection.
#pragma once

#include <msxml6.h>

// A new DOMDocument60: synchronous, resolving externals, validating on parse.
// E_INVALIDARG for a null out; else the first failing call's HRESULT (a
// document already made stays in *out for the caller to release) or S_OK.
HRESULT CreateDocument(IXMLDOMDocument2** out);

// The same settings on a FreeThreadedDOMDocument60, which every client
// thread of the schema collection may read.
HRESULT CreateSchemaDocument(IXMLDOMDocument2** out);
