#include "xdr_errors.h"

namespace qzwin::msxml::xdr {

std::string Quoted(std::string_view text) {
  if (text.size() <= kMaxQuotedChars) return std::string(text);
  size_t cut = kMaxQuotedChars;
  // Back up over UTF-8 continuation bytes so that no character is split.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut)) + "...";
}

HRESULT Fail(XdrError* error, HRESULT code, xmlNodePtr node, std::string reason) {
  if (error) {
    error->code = code;
    error->reason = std::move(reason);
    error->node = node;
  }
  return code;
}

}  // namespace qzwin::msxml::xdr
