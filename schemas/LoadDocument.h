// Loads a file into a DOM document through MSXML's own file loading: the
// path goes to the parser as it is, without namespace rewriting.
#pragma once

#include <msxml6.h>

// Loads path (a full path in the system code page) into doc and validates
// it. E_INVALIDARG for a null doc; the HRESULT of a failing load or
// validate call; E_FAIL when the document did not load; else S_OK. What
// validation found does not count, only whether it could run.
HRESULT LoadDocument(const char* path, IXMLDOMDocument2* doc);
