// Writing a tree as text: the `xml` property (UTF-16, as it stands) and the
// bytes that save writes (readable, CR LF line ends, in the encoding that the
// document's XML declaration names).
#pragma once

#include <string>

#include <libxml/tree.h>
#include <winerror.h>

namespace qzwin::msxml {

// The node's markup, UTF-8, without added indentation; a document's
// top-level nodes each end with CR LF.
std::string SerializeForXmlProperty(xmlNodePtr node);

// The encoding named by the document's XML declaration (a processing
// instruction "xml" as first child); "UTF-8" without one.
std::string DeclaredEncoding(xmlDocPtr doc);

// The document as save writes it. E_FAIL for an encoding the stand-in
// cannot write.
HRESULT SerializeForSave(xmlDocPtr doc, std::string* bytes);

}  // namespace qzwin::msxml
