// What a document keeps of its last load or validation, and the
// IXMLDOMParseError object that shows it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <libxml/xmlerror.h>
#include <com_object.h>
#include <msxml6.h>

namespace qzwin::msxml {

struct ParseErrorInfo {
  HRESULT code = S_OK;  // S_OK: no error
  std::optional<std::string> reason;
  std::optional<std::string> srcText;
  std::optional<std::string> url;
  LONG line = 0;
  LONG linepos = 0;
  LONG filepos = 0;
};

class ParseError : public ComObject<ParseError, IXMLDOMParseError> {
 public:
  explicit ParseError(ParseErrorInfo info) : info_(std::move(info)) {}

  HRESULT STDMETHODCALLTYPE get_errorCode(LONG* errorCode) override;
  HRESULT STDMETHODCALLTYPE get_url(BSTR* urlString) override;
  HRESULT STDMETHODCALLTYPE get_reason(BSTR* reasonString) override;
  HRESULT STDMETHODCALLTYPE get_srcText(BSTR* sourceString) override;
  HRESULT STDMETHODCALLTYPE get_line(LONG* lineNumber) override;
  HRESULT STDMETHODCALLTYPE get_linepos(LONG* linePosition) override;
  HRESULT STDMETHODCALLTYPE get_filepos(LONG* filePosition) override;

 private:
  ParseErrorInfo info_;
};

// The parse-error code for a libxml2 parser error.
HRESULT ParseErrorCode(const xmlError& error);
// libxml2's message as one sentence: no trailing line break, a full stop.
std::string ReasonOf(const char* message);

// Fills line text, line position and file position from the text that was
// parsed (UTF-8) and a 1-based line and column.
void LocateInText(std::string_view text, LONG line, LONG column, ParseErrorInfo* info);

}  // namespace qzwin::msxml
