// The encodings settings file: where it lies, how its active entry is
// selected, and the reading of that entry's declaration data.
#pragma once

#include <comdef.h>

// The prefix qz exists only for selection; the file may use any prefixes.
#define ENCODINGS_SELECTION_NAMESPACES "xmlns:qz='x-schema:#Encodingtypes'"

// Every active entry, in file order. Active is compared as text: 01, true or
// a 1 with blanks around it do not select an entry.
#define ACTIVE_ENCODINGS_XPATH "/QZEncodings/qz:Encodings/qz:Encoding[@Active=\"1\"]"

// The attribute that holds the data of the XML declaration, the text between
// "<?xml " and "?>".
#define ENCODING_TYPE_ATTRIBUTE "EncodingType"

// Reads the encodings file, resolved anew on every call, into a document of
// its own and sets text to the EncodingType of the last active entry, or to
// the empty text when no entry is active. The load's HRESULT when the file
// is missing (E_FAIL), unreadable, malformed or invalid; E_FAIL for an active
// entry without EncodingType; the failing call's HRESULT when the document
// cannot be made. On failure text keeps its value.
HRESULT ReadSelectedEncoding(_bstr_t& text);
