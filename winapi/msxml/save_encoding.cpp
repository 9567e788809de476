#include "save_encoding.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string_view>

#include <iconv.h>
#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/xmlstring.h>

namespace qzwin::msxml {

namespace {

constexpr size_t kConvertChunk = 4096;
constexpr size_t kReferenceSize = 16;  // "&#1114111;" and its terminator

// One iconv conversion, from its initial state.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Appends the converted text. With `references`, the text is UTF-8 and
  // a character the target lacks is written as a character reference.
  bool Convert(std::string_view text, bool references, std::string* out) {
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[kConvertChunk];
    while (inLeft > 0) {
      char* at = buffer;
      size_t room = sizeof buffer;
      size_t result = iconv(cd_, &in, &inLeft, &at, &room);
      out->append(buffer, static_cast<size_t>(at - buffer));
      if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
      if (errno != EILSEQ || !references) return false;
      int length = inLeft < INT_MAX ? static_cast<int>(inLeft) : INT_MAX;
      int code = xmlGetUTF8Char(reinterpret_cast<const xmlChar*>(in), &length);
      if (code < 0) return false;
      char reference[kReferenceSize];
      std::snprintf(reference, sizeof reference, "&#%d;", code);
      if (!Convert(reference, false, out)) return false;
      in += length;
      inLeft -= static_cast<size_t>(length);
    }
    return true;
  }

  // Appends what returns the target to its initial shift state (UTF-7
  // closes its last base64 run here).
  bool Finish(std::string* out) {
    char buffer[kConvertChunk];
    char* at = buffer;
    size_t room = sizeof buffer;
    if (iconv(cd_, nullptr, nullptr, &at, &room) == static_cast<size_t>(-1)) return false;
    out->append(buffer, static_cast<size_t>(at - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

bool ReadsAsItself(std::string_view text, const std::string& encoding) {
  Converter reader("UTF-8", encoding.c_str());
  std::string back;
  return reader.ok() && reader.Convert(text, false, &back) && reader.Finish(&back) && back == text;
}

}  // namespace

SaveRoute SaveRouteOf(const std::string& encoding) {
  switch (xmlParseCharEncoding(encoding.c_str())) {
    case XML_CHAR_ENCODING_UTF8: case XML_CHAR_ENCODING_ASCII:
    case XML_CHAR_ENCODING_8859_1: case XML_CHAR_ENCODING_8859_2: case XML_CHAR_ENCODING_8859_3:
    case XML_CHAR_ENCODING_8859_4: case XML_CHAR_ENCODING_8859_5: case XML_CHAR_ENCODING_8859_6:
    case XML_CHAR_ENCODING_8859_7: case XML_CHAR_ENCODING_8859_8: case XML_CHAR_ENCODING_8859_9:
      return SaveRoute::kWriter;
    default:
      break;
  }
  Converter writer(encoding.c_str(), "UTF-8");
  if (!writer.ok()) return SaveRoute::kWriterChecked;
  std::string probe = "\t\n\r";
  for (char c = ' '; c <= '~'; ++c) probe += c;
  std::string written;
  bool asItself = writer.Convert(probe, false, &written) && writer.Finish(&written) && written == probe;
  return asItself ? SaveRoute::kWriter : SaveRoute::kConvertAfter;
}

bool LoadsAgain(const std::string& bytes) {
  if (bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) return false;
  xmlFreeDoc(doc);
  return true;
}

bool ConvertForSave(const std::string& text, size_t head, const std::string& encoding, std::string* bytes) {
  Converter writer(encoding.c_str(), "UTF-8");
  if (!writer.ok()) return false;
  std::string_view rest(text);
  bytes->clear();
  if (head > 0 && head <= rest.size() && ReadsAsItself(rest.substr(0, head), encoding)) {
    bytes->append(rest.substr(0, head));
    rest.remove_prefix(head);
  }
  return writer.Convert(rest, true, bytes) && writer.Finish(bytes);
}

}  // namespace qzwin::msxml
