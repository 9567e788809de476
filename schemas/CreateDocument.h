// Makes the DOM documents that the system's own code loads, queries and saves.
#pragma once

#include <msxml6.h>

// A new DOMDocument60: synchronous, resolving externals, validating on parse.
// E_INVALIDARG for a null out; else the first failing call's HRESULT (a
// document already made stays in *out for the caller to release) or S_OK.
HRESULT CreateDocument(IXMLDOMDocument2** out);
