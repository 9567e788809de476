// Creates a node in a document and attaches it.
#pragma once

#include <comdef.h>
#include <msxml6.h>

// Creates a node of type in namespaceURI (none when empty), appends it to
// parent or, without a parent, to the document element if there is one, and
// gives it dataTypeName (an empty name declares no type). On failure sets
// the parse-error information and returns the failing HRESULT; the node
// already made then stays in *node for the caller to release.
HRESULT CreateChildNode(IXMLDOMDocument* document, IXMLDOMNode* parent, const _bstr_t& name, DOMNodeType type,
                        const _bstr_t& namespaceURI, const _bstr_t& dataTypeName, IXMLDOMNode** node);
