// The platform's active encoding applied to a caller's document as an `xml`
// instruction, or returned as the whole declaration text: the work of the
// service's UseSelectedEncoding and GetSelectedEncodingName.
#pragma once

#include <comdef.h>
#include <msxml6.h>

// Appends to pDoc a new processing instruction `xml` whose data is the
// active entry's EncodingType, unchanged; nothing already in pDoc is looked
// at. E_INVALIDARG for a null pDoc; the HRESULT of reading the encodings
// file (EncodingsFile.h); the DOM's HRESULT when it refuses the data or the
// place. pDoc is held for the call and changed only by a successful append.
HRESULT ApplySelectedEncoding(IXMLDOMDocument2* pDoc);

// The declaration "<?xml " + EncodingType + "?>" as a new BSTR in
// *pEncoding. cachedDeclaration is the service object's cache: when it is
// not empty it is returned without reading any file; else the file is read
// and the cache is set only when the whole call succeeds. E_INVALIDARG for a
// null pEncoding; on failure *pEncoding and the cache are left as they were.
HRESULT ReadSelectedEncodingName(_bstr_t& cachedDeclaration, BSTR* pEncoding);
