// XPath 1.0 selection with the prefixes of the SelectionNamespaces property.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <libxml/tree.h>
#include <msxml6.h>

namespace qzwin::msxml {

struct SelectionNamespaces {
  std::string text;                                          // as set
  std::vector<std::pair<std::string, std::string>> prefixes;  // prefix, URI
};

// Parses "xmlns:p='uri' xmlns:q=\"uri\"" (white space between); "" clears.
// E_FAIL for text that does not have this form.
HRESULT ParseSelectionNamespaces(const std::string& text, SelectionNamespaces* out);

// Evaluates `expression` from `context`. E_FAIL for an expression that does
// not compile, uses an unbound prefix or does not yield nodes.
HRESULT SelectNodes(xmlNodePtr context, const SelectionNamespaces& namespaces, const std::string& expression,
                    std::vector<xmlNodePtr>* nodes);

// The selection namespaces of one of our documents.
const SelectionNamespaces& SelectionNamespacesOf(IXMLDOMDocument2* document);

}  // namespace qzwin::msxml
