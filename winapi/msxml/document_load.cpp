// Loading: load (a path, or a stream), loadXML (UTF-16 text) and
// IPersistStream::Load, all through Parse.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <objbase.h>
#include <oleauto.h>
#include <winbase.h>

#include "declaration.h"
#include "document.h"
#include "error_collector.h"
#include "external_loader.h"
#include "parse_error_codes.h"
#include "utf.h"
#include "validation.h"

namespace qzwin::msxml {

namespace {

// The most a stream may hold; larger input fails instead of exhausting memory.
constexpr size_t kMaxInputBytes = size_t{1} << 31;
constexpr size_t kStreamChunk = 64 * 1024;
// libxml2's bound on a text node and on how far it looks ahead in its input
// (XML_MAX_TEXT_LENGTH, XML_MAX_LOOKUP_LIMIT) without XML_PARSE_HUGE.
constexpr size_t kPieceReadBounds = 10000000;
// How far into the text an XML declaration may reach.
constexpr size_t kMaxDeclarationLength = 1024;

// The input's text as UTF-8, for locating errors (BOM or pattern decide).
std::string TextForLocating(std::string_view bytes) {
  auto unit = [&](size_t i, bool bigEndian) {
    unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  bool le = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '<' && bytes[1] == 0));
  bool be = bytes.size() >= 2 && ((bytes[0] == '\xFE' && bytes[1] == '\xFF') || (bytes[0] == 0 && bytes[1] == '<'));
  if (le || be) {
    std::u16string wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) wide += unit(i, be);
    if (!wide.empty() && wide[0] == 0xFEFF) wide.erase(0, 1);
    return Utf16ToUtf8(wide);
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return std::string(bytes);
}

// The data of the text's XML declaration (what stands between "<?xml " and
// "?>"), kept as written; none when the text has no declaration.
std::optional<std::string> DeclarationOf(const std::string& text) {
  if (text.compare(0, 5, "<?xml") != 0 || text.size() < 6 || !std::isspace(static_cast<unsigned char>(text[5]))) {
    return std::nullopt;
  }
  size_t end = text.find("?>", 5);
  if (end == std::string::npos || end > kMaxDeclarationLength) return std::nullopt;
  size_t start = 5;
  while (start < end && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  size_t stop = end;
  while (stop > start && std::isspace(static_cast<unsigned char>(text[stop - 1]))) --stop;
  return text.substr(start, stop - start);
}

bool IsBlank(const xmlChar* text) {
  for (; text != nullptr && *text != 0; ++text) {
    if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
  }
  return true;
}

// Whether the element itself says xml:space="preserve".
bool SaysPreserveSpace(xmlNodePtr element) {
  for (xmlAttrPtr attr = element->properties; attr != nullptr; attr = attr->next) {
    if (attr->ns != nullptr && xmlStrEqual(attr->ns->href, XML_XML_NAMESPACE) &&
        xmlStrEqual(attr->name, BAD_CAST "space")) {
      xmlChar* value = xmlNodeListGetString(element->doc, attr->children, 1);
      bool preserve = xmlStrEqual(value, BAD_CAST "preserve");
      xmlFree(value);
      return preserve;
    }
  }
  return false;
}

// The node's text children of white space only go.
void StripBlankChildren(xmlNodePtr node) {
  xmlNodePtr child = node->children;
  while (child != nullptr) {
    xmlNodePtr next = child->next;
    if (child->type == XML_TEXT_NODE && IsBlank(child->content)) {
      xmlUnlinkNode(child);
      xmlFreeNode(child);
    }
    child = next;
  }
}

// Without preserveWhiteSpace, text nodes of white space only go, except
// under xml:space="preserve". Only elements outside a preserved subtree are
// entered, so an element's own attribute decides for its content.
void StripBlankText(xmlNodePtr node) {
  StripBlankChildren(node);
  for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && !SaysPreserveSpace(child)) StripBlankText(child);
  }
}

// Blank text goes while the parser builds the tree, by StripBlankText's
// rule: an element's blank text children are removed when it ends, while it
// is still in the cache, instead of in a walk over the whole tree after the
// parse. Entities can copy content parsed under one xml:space into another,
// so a document with a DTD is left to the walk.
struct InParseStripping {
  int depth = 0;          // elements open
  int preservedFrom = 0;  // depth of the outermost open element that preserves; 0 when none
  bool leftToWalk = false;
};

thread_local InParseStripping* currentStripping = nullptr;

void StartElementStripping(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                           int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                           const xmlChar** attributes) {
  xmlSAX2StartElementNs(ctx, localname, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount,
                        attributes);
  InParseStripping* stripping = currentStripping;
  const xmlParserCtxt* parser = static_cast<const xmlParserCtxt*>(ctx);
  if (stripping == nullptr) return;
  if (stripping->depth == 0 && parser->myDoc != nullptr &&
      (parser->myDoc->intSubset != nullptr || parser->myDoc->extSubset != nullptr)) {
    stripping->leftToWalk = true;
  }
  ++stripping->depth;
  if (stripping->preservedFrom == 0 && parser->node != nullptr && SaysPreserveSpace(parser->node)) {
    stripping->preservedFrom = stripping->depth;
  }
}

void EndElementStripping(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri) {
  InParseStripping* stripping = currentStripping;
  const xmlParserCtxt* parser = static_cast<const xmlParserCtxt*>(ctx);
  if (stripping != nullptr && stripping->depth > 0) {
    if (!stripping->leftToWalk && stripping->preservedFrom == 0 && parser->node != nullptr) {
      StripBlankChildren(parser->node);
    }
    if (stripping->preservedFrom == stripping->depth) stripping->preservedFrom = 0;
    --stripping->depth;
  }
  xmlSAX2EndElementNs(ctx, localname, prefix, uri);
}

// The parser reads the input in pieces from where its bytes lie: a memory
// input would first be copied whole into a buffer of the parser's own, which
// for a large document costs a fresh block as large as the text.
struct PieceReader {
  std::string_view rest;
};

int ReadPiece(void* context, char* buffer, int len) {
  auto* reader = static_cast<PieceReader*>(context);
  const size_t count = std::min(static_cast<size_t>(std::max(len, 0)), reader->rest.size());
  if (count == 0) return 0;  // the end of the input
  std::memcpy(buffer, reader->rest.data(), count);
  reader->rest.remove_prefix(count);
  return static_cast<int>(count);
}

// MSXML takes any text as a namespace name; libxml2 reports one that is not a
// URI (a Windows path, say) as a namespace error. Such complaints do not fail a
// load; any other namespace error does, and the first one is kept to report.
bool IsNamespaceNameComplaint(const xmlError& error) {
  return error.domain == XML_FROM_NAMESPACE && (error.code == XML_WAR_NS_URI || error.code == XML_WAR_NS_URI_RELATIVE);
}

struct NamespaceFaults {
  xmlError first{};  // the first namespace error that fails the load; code XML_ERR_OK while none
  ~NamespaceFaults() { xmlResetError(&first); }
};

thread_local NamespaceFaults* currentNamespaceFaults = nullptr;

void NoteNamespaceFault(void*, xmlErrorPtr error) {
  NamespaceFaults* faults = currentNamespaceFaults;
  if (faults == nullptr || error == nullptr || error->domain != XML_FROM_NAMESPACE) return;
  if (IsNamespaceNameComplaint(*error) || faults->first.code != XML_ERR_OK) return;
  xmlCopyError(error, &faults->first);
}

// An attribute list declaration may name what a start tag may not (":",
// "a:"); its default would put that name on elements, where the namespace
// rules reject it, and the document saved would not load. The first such
// name, if any.
std::optional<std::string> UnqualifiedAttributeName(xmlDtdPtr dtd) {
  for (xmlNodePtr child = dtd != nullptr ? dtd->children : nullptr; child != nullptr; child = child->next) {
    if (child->type != XML_ATTRIBUTE_DECL) continue;
    auto* declaration = reinterpret_cast<xmlAttributePtr>(child);
    std::string name = reinterpret_cast<const char*>(declaration->name);
    if (declaration->prefix != nullptr) name = reinterpret_cast<const char*>(declaration->prefix) + (":" + name);
    if (xmlValidateQName(BAD_CAST name.c_str(), 0) != 0) return name;
  }
  return std::nullopt;
}

}  // namespace

void Document::Fail(ParseErrorInfo info) {
  parseError_ = std::move(info);
  ResetToEmpty();
}

HRESULT Document::Parse(const Source& source) {
  InstallExternalLoader();
  // Whatever libxml2 reports while reading and validating comes here, not
  // to stderr; the parser context and the validators keep what is shown.
  FirstErrorCollector engineErrors;
  parseError_ = ParseErrorInfo{};
  url_ = source.url;

  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES | XML_PARSE_NOENT;
  if (resolveExternals_) options |= XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR;
  // Blank text between elements is best never made: freeing it afterwards
  // costs more than the parse. What the parser keeps goes as each element
  // ends (see InParseStripping).
  if (!preserveWhiteSpace_) options |= XML_PARSE_NOBLANKS;
  if (source.encoding != nullptr) options |= XML_PARSE_IGNORE_ENC;
  if (source.bytes.size() > static_cast<size_t>(INT32_MAX)) {
    Fail({kBadSyntax, "The document is too large to be read.", std::string(), source.url});
    return kBadSyntax;
  }

  std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
  if (!context) return E_OUTOFMEMORY;
  context->sax->serror = NoteNamespaceFault;
  InParseStripping stripping;
  if (!preserveWhiteSpace_) {
    context->sax->startElementNs = StartElementStripping;
    context->sax->endElementNs = EndElementStripping;
  }
  NamespaceFaults namespaceFaults;
  auto read = [&](bool whole) {
    ExternalFilesAllowed externals(resolveExternals_);
    currentNamespaceFaults = &namespaceFaults;
    InParseStripping* const outerStripping = currentStripping;  // a parse that this one runs within
    currentStripping = &stripping;
    const char* const baseUrl = source.baseUrl.empty() ? nullptr : source.baseUrl.c_str();
    xmlDocPtr parsed = nullptr;
    if (whole) {
      parsed = xmlCtxtReadMemory(context.get(), source.bytes.data(), static_cast<int>(source.bytes.size()), baseUrl,
                                 source.encoding, options);
    } else {
      PieceReader reader{source.bytes};
      parsed = xmlCtxtReadIO(context.get(), ReadPiece, nullptr, &reader, baseUrl, source.encoding, options);
    }
    currentStripping = outerStripping;
    currentNamespaceFaults = nullptr;
    return parsed;
  };
  auto readFailed = [&](xmlDocPtr parsed) {
    return parsed == nullptr || !context->wellFormed || namespaceFaults.first.code != XML_ERR_OK;
  };
  xmlDocPtr doc = read(false);
  // Read in pieces, libxml2 bounds a text node or a look ahead that a single
  // buffer lets pass; only a text past those bounds can meet them. Such a
  // text that failed is read again from one buffer, so that what loads, and
  // the error of what does not, are the same however the text is read.
  std::optional<FirstErrorCollector> wholeReadErrors;
  if (source.bytes.size() > kPieceReadBounds && readFailed(doc)) {
    if (doc != nullptr) xmlFreeDoc(doc);
    xmlResetError(&namespaceFaults.first);
    stripping = InParseStripping{};
    wholeReadErrors.emplace();
    doc = read(true);
  }
  const FirstErrorCollector& readErrors = wholeReadErrors ? *wholeReadErrors : engineErrors;
  std::string text;
  bool namespaceFailed = namespaceFaults.first.code != XML_ERR_OK;
  bool failed = readFailed(doc);
  bool hasDtd = doc != nullptr && (doc->intSubset != nullptr || doc->extSubset != nullptr);
  if (!failed && prohibitDtd_ && hasDtd) {
    xmlFreeDoc(doc);
    text = TextForLocating(source.bytes);
    ParseErrorInfo info{kBadSyntax, "A document type declaration is not allowed here.", {}, source.url};
    LocateInText(text, 1, 1, &info);
    Fail(std::move(info));
    return kBadSyntax;
  }
  std::optional<std::string> unqualified;
  if (!failed && hasDtd) {
    unqualified = UnqualifiedAttributeName(doc->intSubset);
    if (!unqualified) unqualified = UnqualifiedAttributeName(doc->extSubset);
  }
  if (unqualified) {
    xmlFreeDoc(doc);
    ParseErrorInfo info{kBadSyntax, "The attribute name '" + *unqualified + "' is not a valid qualified name.", {},
                        source.url};
    LocateInText(TextForLocating(source.bytes), 1, 1, &info);
    Fail(std::move(info));
    return kBadSyntax;
  }
  if (failed) {
    xmlErrorPtr error = context->wellFormed && namespaceFailed ? &namespaceFaults.first
                                                               : xmlCtxtGetLastError(context.get());
    if (doc != nullptr) xmlFreeDoc(doc);
    ParseErrorInfo info;
    info.url = source.url;
    if (error != nullptr && error->code != XML_ERR_OK) {
      info.code = ParseErrorCode(*error);
      info.reason = ReasonOf(error->message);
      text = TextForLocating(source.bytes);
      LocateInText(text, error->line, error->int2, &info);
    } else {
      info.code = kBadSyntax;
      info.reason = "The document could not be read.";
    }
    if (readErrors.found() && readErrors.domain() == XML_FROM_I18N) {
      // Bytes that do not convert from the document's encoding end the
      // parse; the converter's message says which they were.
      info.code = kBadEncoding;
      info.reason = readErrors.message();
    }
    Fail(std::move(info));
    return parseError_.code;
  }

  text = TextForLocating(source.bytes.substr(0, kMaxDeclarationLength * 4));
  std::optional<std::string> declaration = DeclarationOf(text);
  Declaration parsed;
  HRESULT declared = declaration ? ParseDeclaration(*declaration, &parsed) : S_OK;
  if (FAILED(declared)) {
    // The parser read the declaration's end in the encoding it names (UTF-7
    // shifts, say); as the bytes stand, it is not a declaration, and the
    // DOM could not save it.
    xmlFreeDoc(doc);
    ParseErrorInfo info{declared, "The XML declaration is not valid as written.", {}, source.url};
    LocateInText(text, 1, 1, &info);
    Fail(std::move(info));
    return declared;
  }
  if (declaration) {
    // The DOM shows the declaration as a processing instruction "xml", first.
    xmlNodePtr pi = xmlNewDocPI(doc, BAD_CAST "xml", BAD_CAST declaration->c_str());
    if (pi != nullptr) {
      if (doc->children != nullptr) {
        xmlAddPrevSibling(doc->children, pi);
      } else {
        xmlAddChild(reinterpret_cast<xmlNodePtr>(doc), pi);
      }
    }
  }
  if (!preserveWhiteSpace_ && stripping.leftToWalk) StripBlankText(reinterpret_cast<xmlNodePtr>(doc));

  if (validateOnParse_) {
    ParseErrorInfo info;
    HRESULT hr;
    {
      ExternalFilesAllowed externals(resolveExternals_);
      hr = ValidateLoadedDocument(doc, schemas_, &info);
    }
    if (FAILED(hr)) {
      if (info.line > 0) {
        LocateInText(TextForLocating(source.bytes), info.line, info.linepos > 0 ? info.linepos : 1, &info);
      }
      info.url = source.url;
      xmlFreeDoc(doc);
      Fail(std::move(info));
      return hr;
    }
  }

  auto tree = std::make_shared<Tree>(doc);
  ResetTree(tree, reinterpret_cast<xmlNodePtr>(doc));
  return S_OK;
}

HRESULT Document::LoadFromPath(const std::string& location) {
  std::string path;
  ParseErrorInfo missing{kObjectNotFound, "The system cannot locate the object specified.", std::string(), location};
  if (!LocalPathOf(location, &path)) {
    Fail(missing);
    url_ = location;
    return missing.code;
  }
  std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "rb"), fclose);
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
    Fail(missing);
    url_ = location;
    return missing.code;
  }
  long size = std::ftell(file.get());
  std::rewind(file.get());
  if (size < 0 || static_cast<unsigned long>(size) > kMaxInputBytes) {
    Fail({E_OUTOFMEMORY, "The file is too large to be read.", std::string(), location});
    url_ = location;
    return E_OUTOFMEMORY;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    Fail({E_ACCESSDENIED, "The file could not be read.", std::string(), location});
    url_ = location;
    return E_ACCESSDENIED;
  }
  file.reset();
  Source source{bytes, nullptr, location, path};
  return Parse(source);
}

// A stream on global memory is parsed where its bytes lie, from its position
// to its end, instead of being read into a copy first; it is left at its end,
// as reading it would. False for any other stream.
bool Document::LoadFromGlobalMemory(IStream* stream, HRESULT* result) {
  HGLOBAL handle = nullptr;
  STATSTG stat{};
  ULARGE_INTEGER position{};
  if (FAILED(GetHGlobalFromStream(stream, &handle)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
      FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &position))) {
    return false;
  }
  const ULONGLONG size = stat.cbSize.QuadPart;
  const ULONGLONG start = std::min(position.QuadPart, size);
  if (size > GlobalSize(handle)) return false;
  const char* data = static_cast<const char*>(GlobalLock(handle));
  if (data == nullptr) return false;
  Source source{std::string_view(data + start, static_cast<size_t>(size - start)), nullptr, std::nullopt,
                std::string()};
  if (source.bytes.size() > kMaxInputBytes) {
    Fail({E_OUTOFMEMORY, "The stream is too large to be read.", std::string(), std::nullopt});
    *result = E_OUTOFMEMORY;
  } else {
    *result = Parse(source);
  }
  GlobalUnlock(handle);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(std::max(position.QuadPart, size));
  stream->Seek(end, STREAM_SEEK_SET, nullptr);
  return true;
}

HRESULT Document::LoadFromStream(IStream* stream) {
  HRESULT loaded = S_OK;
  if (LoadFromGlobalMemory(stream, &loaded)) return loaded;
  std::string bytes;
  for (;;) {
    size_t had = bytes.size();
    bytes.resize(had + kStreamChunk);
    ULONG read = 0;
    HRESULT hr = stream->Read(bytes.data() + had, static_cast<ULONG>(kStreamChunk), &read);
    bytes.resize(had + (SUCCEEDED(hr) ? std::min<size_t>(read, kStreamChunk) : 0));
    if (FAILED(hr)) {
      Fail({hr, "The stream could not be read.", std::string(), std::nullopt});
      return hr;
    }
    if (bytes.size() > kMaxInputBytes) {
      Fail({E_OUTOFMEMORY, "The stream is too large to be read.", std::string(), std::nullopt});
      return E_OUTOFMEMORY;
    }
    if (read == 0 || hr == S_FALSE) break;
  }
  Source source{bytes, nullptr, std::nullopt, std::string()};
  return Parse(source);
}

HRESULT Document::load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) {
  if (isSuccessful != nullptr) *isSuccessful = VARIANT_FALSE;
  HRESULT hr;
  if (xmlSource.vt == VT_BSTR) {
    hr = LoadFromPath(BstrToUtf8(xmlSource.bstrVal));
  } else if ((xmlSource.vt == VT_UNKNOWN || xmlSource.vt == VT_DISPATCH) && xmlSource.punkVal != nullptr) {
    IStream* stream = nullptr;
    if (FAILED(xmlSource.punkVal->QueryInterface(IID_IStream, reinterpret_cast<void**>(&stream)))) {
      return E_INVALIDARG;
    }
    hr = LoadFromStream(stream);
    stream->Release();
  } else {
    return E_INVALIDARG;
  }
  if (FAILED(hr)) return S_FALSE;
  if (isSuccessful != nullptr) *isSuccessful = VARIANT_TRUE;
  return S_OK;
}

HRESULT Document::loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) {
  if (isSuccessful != nullptr) *isSuccessful = VARIANT_FALSE;
  // The text is UTF-16 whatever its declaration names.
  std::string text = BstrToUtf8(bstrXML);
  Source source{text, "UTF-8", std::nullopt, std::string()};
  if (FAILED(Parse(source))) return S_FALSE;
  if (isSuccessful != nullptr) *isSuccessful = VARIANT_TRUE;
  return S_OK;
}

HRESULT Document::Load(IStream* pStm) {
  if (pStm == nullptr) return E_INVALIDARG;
  return LoadFromStream(pStm);
}

}  // namespace qzwin::msxml
