// Selection by the plainest XPath expressions without the XPath engine: paths
// of child steps, each a name without prefix or "*", with predicates that
// compare local-name(), namespace-uri() or an attribute with a literal
// (joined by "and"), or that pick a position. Files such as the schema cache
// are searched with these; the general engine spends most of its time there
// turning every attribute it compares into a new string.
#pragma once

#include <string>
#include <vector>

#include <libxml/tree.h>

namespace qzwin::msxml {

// Selects what XPath 1.0 would select with `expression` from `context`, in
// document order. False, with `nodes` untouched, when the expression is not
// of the form above: the XPath engine must evaluate it.
bool SelectChildPath(xmlNodePtr context, const std::string& expression, std::vector<xmlNodePtr>* nodes);

}  // namespace qzwin::msxml
