#include "parse_error.h"

#include <cctype>

#include <libxml/tree.h>

#include "parse_error_codes.h"
#include "utf.h"

namespace qzwin::msxml {

namespace {

HRESULT ReturnOptional(const std::optional<std::string>& text, BSTR* out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  if (!text) return S_FALSE;
  return ReturnBstr(*text, out);
}

HRESULT ReturnLong(LONG value, LONG* out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = value;
  return S_OK;
}

}  // namespace

HRESULT ParseError::get_errorCode(LONG* errorCode) {
  if (errorCode == nullptr) return E_INVALIDARG;
  *errorCode = info_.code;
  return info_.code == S_OK ? S_FALSE : S_OK;
}

HRESULT ParseError::get_url(BSTR* urlString) { return ReturnOptional(info_.url, urlString); }
HRESULT ParseError::get_reason(BSTR* reasonString) { return ReturnOptional(info_.reason, reasonString); }
HRESULT ParseError::get_srcText(BSTR* sourceString) { return ReturnOptional(info_.srcText, sourceString); }
HRESULT ParseError::get_line(LONG* lineNumber) { return ReturnLong(info_.line, lineNumber); }
HRESULT ParseError::get_linepos(LONG* linePosition) { return ReturnLong(info_.linepos, linePosition); }
HRESULT ParseError::get_filepos(LONG* filePosition) { return ReturnLong(info_.filepos, filePosition); }

HRESULT ParseErrorCode(const xmlError& error) {
  switch (error.code) {
    case XML_ERR_DOCUMENT_EMPTY:
      return kMissingRoot;
    case XML_ERR_DOCUMENT_END:
      return kMultipleRoots;
    case XML_ERR_TAG_NAME_MISMATCH:
      return kEndTagMismatch;
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_GT_REQUIRED:
    case XML_ERR_LTSLASH_REQUIRED:
      return kUnclosedTag;
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
    case XML_ERR_ENTITY_LOOP:
      return kUndefinedEntity;
    case XML_NS_ERR_UNDEFINED_NAMESPACE:
      return kUndeclaredPrefix;
    case XML_ERR_UNSUPPORTED_ENCODING:
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_INVALID_ENCODING:
    case XML_ERR_ENCODING_NAME:
      return kBadEncoding;
    case XML_ERR_RESERVED_XML_NAME:
      return kInvalidAtTopLevel;
    default:
      return kBadSyntax;
  }
}

std::string ReasonOf(const char* message) {
  std::string reason = message != nullptr ? message : "The document could not be read";
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
    reason.pop_back();
  }
  if (!reason.empty()) reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
  if (!reason.empty() && reason.back() != '.') reason += '.';
  return reason;
}

void LocateInText(std::string_view text, LONG line, LONG column, ParseErrorInfo* info) {
  info->line = line;
  info->linepos = column;
  size_t start = 0;
  for (LONG at = 1; at < line && start < text.size(); ++at) {
    size_t next = text.find('\n', start);
    if (next == std::string_view::npos) break;
    start = next + 1;
  }
  size_t end = text.find('\n', start);
  if (end == std::string_view::npos) end = text.size();
  std::string_view lineText = text.substr(start, end - start);
  if (!lineText.empty() && lineText.back() == '\r') lineText.remove_suffix(1);
  info->srcText = std::string(lineText);
  // Positions count characters, not bytes.
  LONG characters = 0;
  for (size_t i = 0; i < start; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++characters;
  }
  info->filepos = characters + (column > 0 ? column - 1 : 0);
}

}  // namespace qzwin::msxml
