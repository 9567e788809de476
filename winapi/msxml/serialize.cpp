#include "serialize.h"

#include <cstring>
#include <memory>
#include <strings.h>
#include <utility>
#include <vector>

#include <libxml/encoding.h>
#include <libxml/xmlsave.h>

#include "declaration.h"
#include "error_collector.h"
#include "qualified_name.h"
#include "save_encoding.h"
#include "utf.h"

namespace qzwin::msxml {

namespace {

// Where libxml2's writer puts its output: appended to a string, line feeds
// turned into CR LF when asked (libxml2 writes a carriage return of the
// content as a character reference, so every raw line feed is a line end).
struct Sink {
  std::string* out;
  bool crlf;
};

int Append(void* context, const char* buffer, int length) {
  auto* sink = static_cast<Sink*>(context);
  if (!sink->crlf) {
    sink->out->append(buffer, length);
    return length;
  }
  const char* at = buffer;
  const char* end = buffer + length;
  while (at < end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(at, '\n', end - at));
    if (lineEnd == nullptr) {
      sink->out->append(at, end);
      break;
    }
    sink->out->append(at, lineEnd);
    sink->out->append("\r\n");
    at = lineEnd + 1;
  }
  return length;
}

int Close(void*) { return 0; }

std::string EscapeAttribute(const xmlChar* value);

// libxml2's writer puts a namespace declaration's URI between quotes as it
// stands, so a URI holding '&' or '<' would come out as markup that does not
// load again. While saving, each such declaration holds its escaped text.
class EscapedNamespaceUris {
 public:
  explicit EscapedNamespaceUris(xmlNodePtr top) {
    for (xmlNodePtr node = top; node != nullptr; node = Next(node, top)) {
      if (node->type != XML_ELEMENT_NODE) continue;
      for (xmlNsPtr ns = node->nsDef; ns != nullptr; ns = ns->next) {
        if (ns->href == nullptr || !NeedsEscaping(ns->href)) continue;
        xmlChar* escaped = xmlStrdup(BAD_CAST EscapeAttribute(ns->href).c_str());
        if (escaped == nullptr) continue;
        swapped_.push_back({ns, ns->href});
        ns->href = escaped;
      }
    }
  }
  ~EscapedNamespaceUris() {
    for (const auto& [ns, original] : swapped_) {
      xmlFree(const_cast<xmlChar*>(ns->href));
      ns->href = original;
    }
  }
  EscapedNamespaceUris(const EscapedNamespaceUris&) = delete;
  EscapedNamespaceUris& operator=(const EscapedNamespaceUris&) = delete;

 private:
  static bool NeedsEscaping(const xmlChar* uri) {
    for (const xmlChar* c = uri; *c != 0; ++c) {
      if (*c == '&' || *c == '<' || *c == '"' || *c == '\n' || *c == '\r' || *c == '\t') return true;
    }
    return false;
  }
  // Depth-first order over the elements below top, top included.
  static xmlNodePtr Next(xmlNodePtr node, xmlNodePtr top) {
    if (node->type == XML_ELEMENT_NODE && node->children != nullptr) return node->children;
    while (node != top) {
      if (node->next != nullptr) return node->next;
      node = node->parent;
    }
    return nullptr;
  }

  std::vector<std::pair<xmlNsPtr, const xmlChar*>> swapped_;
};

// libxml2 drops an attribute declaration's default value that does not fit
// its type (an ID's ""), keeping the declaration without any default, which
// its writer then writes without one: markup that does not load. While
// saving, such declarations say #IMPLIED, which is what they mean now.
class ImpliedAttributeDefaults {
 public:
  explicit ImpliedAttributeDefaults(xmlNodePtr node) {
    if (node->type != XML_DTD_NODE) return;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
      if (child->type != XML_ATTRIBUTE_DECL) continue;
      auto* declaration = reinterpret_cast<xmlAttributePtr>(child);
      if (declaration->def != XML_ATTRIBUTE_NONE || declaration->defaultValue != nullptr) continue;
      declaration->def = XML_ATTRIBUTE_IMPLIED;
      changed_.push_back(declaration);
    }
  }
  ~ImpliedAttributeDefaults() {
    for (xmlAttributePtr declaration : changed_) declaration->def = XML_ATTRIBUTE_NONE;
  }
  ImpliedAttributeDefaults(const ImpliedAttributeDefaults&) = delete;
  ImpliedAttributeDefaults& operator=(const ImpliedAttributeDefaults&) = delete;

 private:
  std::vector<xmlAttributePtr> changed_;
};

// One top-level node through libxml2's writer.
bool SaveNode(xmlNodePtr node, const char* encoding, int options, Sink* sink) {
  // The writer's complaints (text it cannot convert) stay off stderr; the
  // results below say whether it worked.
  FirstErrorCollector quiet;
  EscapedNamespaceUris escaped(node);
  ImpliedAttributeDefaults implied(node);
  xmlSaveCtxtPtr save = xmlSaveToIO(Append, Close, sink, encoding, options);
  if (save == nullptr) return false;
  long written = xmlSaveTree(save, node);
  return xmlSaveClose(save) >= 0 && written >= 0;
}

// While saving, the document names the encoding written: without one,
// libxml2 writes every non-ASCII character of an attribute value as a
// character reference, which MSXML does only for characters the encoding
// lacks.
class DocumentEncoding {
 public:
  DocumentEncoding(xmlDocPtr doc, const char* encoding)
      : doc_(doc), saved_(doc->encoding), own_(xmlStrdup(BAD_CAST encoding)) {
    if (own_ != nullptr) doc_->encoding = own_;
  }
  ~DocumentEncoding() {
    doc_->encoding = saved_;
    xmlFree(const_cast<xmlChar*>(own_));
  }
  DocumentEncoding(const DocumentEncoding&) = delete;
  DocumentEncoding& operator=(const DocumentEncoding&) = delete;

 private:
  xmlDocPtr doc_;
  const xmlChar* saved_;
  const xmlChar* own_;
};

// A node directly under the document; the declaration is written anew from
// its pseudo-attributes.
bool SaveTopLevelNode(xmlNodePtr node, const char* encoding, int options, Sink* sink) {
  if (!IsDeclaration(node)) return SaveNode(node, encoding, options, sink);
  sink->out->append(DeclarationMarkupOf(node));
  return true;
}

std::string EscapeAttribute(const xmlChar* value) {
  std::string out;
  for (const xmlChar* c = value; c != nullptr && *c != 0; ++c) {
    switch (*c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      case '\t': out += "&#9;"; break;
      default: out += static_cast<char>(*c);
    }
  }
  return out;
}

// The names written as UTF-16 little-endian with a byte-order mark (libxml2
// reads "UTF16", "UCS2" and "ISO-10646-UCS-2" as the same).
bool IsUtf16(const std::string& encoding) {
  xmlCharEncoding known = xmlParseCharEncoding(encoding.c_str());
  return known == XML_CHAR_ENCODING_UTF16LE || known == XML_CHAR_ENCODING_UCS2 ||
         strcasecmp(encoding.c_str(), "UTF-16LE") == 0;
}

}  // namespace

std::string SerializeForXmlProperty(xmlNodePtr node) {
  std::string text;
  Sink sink{&text, false};
  if (node->type == XML_DOCUMENT_NODE) {
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
      SaveTopLevelNode(child, "UTF-8", XML_SAVE_NO_DECL, &sink);
      text += "\r\n";
    }
    return text;
  }
  if (IsDeclaration(node)) return DeclarationMarkupOf(node);
  if (node->type == XML_ATTRIBUTE_NODE) {
    // An attribute's markup is name="value".
    xmlChar* value = xmlNodeGetContent(node);
    text = QualifiedNameOf(node) + "=\"" + EscapeAttribute(value) + "\"";
    xmlFree(value);
    return text;
  }
  if (node->type == XML_ELEMENT_NODE && node->parent != nullptr && node->parent->type == XML_ELEMENT_NODE) {
    // Written on its own, an element must declare the namespaces it
    // inherits: a copy into a scratch document gets those declarations.
    xmlDocPtr scratch = xmlNewDoc(BAD_CAST "1.0");
    xmlNodePtr copy = scratch != nullptr ? xmlDocCopyNode(node, scratch, 1) : nullptr;
    if (copy != nullptr) {
      xmlDocSetRootElement(scratch, copy);
      SaveNode(copy, "UTF-8", XML_SAVE_NO_DECL, &sink);
    }
    if (scratch != nullptr) xmlFreeDoc(scratch);
    return text;
  }
  SaveNode(node, "UTF-8", XML_SAVE_NO_DECL, &sink);
  return text;
}

std::string DeclaredEncoding(xmlDocPtr doc) {
  xmlNodePtr first = doc->children;
  if (!IsDeclaration(first) || first->content == nullptr) return "UTF-8";
  Declaration declaration;
  if (FAILED(ParseDeclaration(std::string_view(reinterpret_cast<const char*>(first->content)), &declaration)) ||
      !declaration.encoding) {
    return "UTF-8";
  }
  return *declaration.encoding;
}

HRESULT SerializeForSave(xmlDocPtr doc, std::string* bytes) {
  FirstErrorCollector quiet;
  std::string encoding = DeclaredEncoding(doc);
  bool utf16 = IsUtf16(encoding);
  if (!utf16) {
    // What is written must be what a load can read.
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding.c_str());
    if (handler == nullptr) return E_FAIL;
    xmlCharEncCloseFunc(handler);
  }
  SaveRoute route = utf16 ? SaveRoute::kWriter : SaveRouteOf(encoding);
  bool convertAfter = route == SaveRoute::kConvertAfter;
  const char* writerEncoding = utf16 || convertAfter ? "UTF-8" : encoding.c_str();
  std::string text;
  size_t head = 0;  // the declaration's line, when the declaration comes first
  Sink sink{&text, true};
  DocumentEncoding documentEncoding(doc, writerEncoding);
  for (xmlNodePtr child = doc->children; child != nullptr; child = child->next) {
    if (!SaveTopLevelNode(child, writerEncoding, XML_SAVE_FORMAT | XML_SAVE_NO_DECL, &sink)) return E_FAIL;
    text += "\r\n";
    if (child == doc->children && IsDeclaration(child)) head = text.size();
  }
  if (utf16) {
    std::u16string wide = Utf8ToUtf16(text);
    bytes->clear();
    bytes->reserve(2 + wide.size() * 2);
    *bytes += "\xFF\xFE";  // little-endian, with its byte-order mark
    for (char16_t unit : wide) {
      *bytes += static_cast<char>(unit & 0xFF);
      *bytes += static_cast<char>(unit >> 8);
    }
    return S_OK;
  }
  if (convertAfter) {
    if (!ConvertForSave(text, head, encoding, bytes)) return E_FAIL;
  } else {
    bytes->swap(text);
  }
  // A save that would not load again fails, leaving the target as it was.
  if (route != SaveRoute::kWriter) return LoadsAgain(*bytes) ? S_OK : E_FAIL;
  return S_OK;
}

}  // namespace qzwin::msxml
