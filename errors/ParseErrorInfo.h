// Reports a failed DOM operation through the calling thread's COM error
// information, with the parse error that MSXML keeps on the node's document.
#pragma once

#include <comdef.h>
#include <msxml6.h>

#include <cstddef>

// Size of the narrow text buffer of the description, terminator included.
constexpr size_t kParseErrorTextSize = 512;

// Formats the description of a parse error into text (kParseErrorTextSize
// bytes), cut to fit; null strings get their fallback texts.
void FormatParseErrorText(char (&text)[kParseErrorTextSize], LONG errorCode, LONG filePos, LONG line,
                          LONG linePos, const char* reason, const char* srcText, const char* url);

// The description of parseError, cut to fit text; the text that says no
// parse error is available when parseError is null. Raises E_FAIL when the
// parse error does not give one of its fields.
void DescribeParseError(IXMLDOMParseError* parseError, char (&text)[kParseErrorTextSize]);

// Installs error information that describes the parse error of node's owner
// document, with the GUID (and its ProgID as source) of error. A null node,
// or any failure while gathering the text, sets nothing. Raises only
// E_OUTOFMEMORY, when the description cannot be copied.
void SetParseErrorInfo(IXMLDOMNode* node, const _com_error& error);
