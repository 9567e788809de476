#include "errors/ParseErrorInfo.h"

#include <cstdio>

#include <windows.h>

#include "errors/XMLDOMPtr.h"

namespace {

constexpr char kParseErrorFormat[] =
    "XMLDOM error accessing the DOM Object\n"
    "Error code\t\t\t= %d\n"
    "File position\t\t= %d\n"
    "Line number\t\t\t= %d\n"
    "Position in line\t= %d\n"
    "Error reason\t\t= %s\n"
    "In the source of\t= %s\n"
    "URL = %s\n";
constexpr char kNoParseError[] =
    "Error while validating the XML document\n"
    "But could not retrieve any error information\n";
constexpr char kNoReason[] = "No reason given";
constexpr char kNoSource[] = "No source text given";
constexpr char kNoUrl[] = "No URL given";

// Longest byte sequence of one character in any system code page.
constexpr size_t kMaxCharBytes = 4;

// A cut can split a multi-byte character at the end of the text; drop such
// a partial character so that the text converts cleanly.
void DropPartialCharacter(char* text, size_t length) {
  for (size_t dropped = 0; dropped < kMaxCharBytes && length > 0; ++dropped, --length) {
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length), nullptr, 0) > 0) return;
    text[length - 1] = '\0';
  }
}

// The parse error's strings in the system code page; null stays null.
struct ParseErrorStrings {
  _bstr_t reason, srcText, url;
};

void Gather(IXMLDOMParseError* parseError, char (&text)[kParseErrorTextSize]) {
  LONG errorCode = 0, filePos = 0, line = 0, linePos = 0;
  ParseErrorStrings strings;
  if (FAILED(parseError->get_errorCode(&errorCode)) || FAILED(parseError->get_filepos(&filePos)) ||
      FAILED(parseError->get_line(&line)) || FAILED(parseError->get_linepos(&linePos)) ||
      FAILED(parseError->get_reason(strings.reason.GetAddress())) ||
      FAILED(parseError->get_srcText(strings.srcText.GetAddress())) ||
      FAILED(parseError->get_url(strings.url.GetAddress()))) {
    _com_issue_error(E_FAIL);
  }
  FormatParseErrorText(text, errorCode, filePos, line, linePos, strings.reason, strings.srcText, strings.url);
}

// The GUID that the caught error's own error information reports.
GUID GuidOf(const _com_error& error) {
  GUID guid = GUID_NULL;
  IErrorInfoPtr info(error.ErrorInfo(), false);
  if (info != nullptr && FAILED(info->GetGUID(&guid))) guid = GUID_NULL;
  return guid;
}

}  // namespace

void FormatParseErrorText(char (&text)[kParseErrorTextSize], LONG errorCode, LONG filePos, LONG line,
                          LONG linePos, const char* reason, const char* srcText, const char* url) {
  const int wanted = std::snprintf(text, kParseErrorTextSize, kParseErrorFormat, static_cast<int>(errorCode),
                                   static_cast<int>(filePos), static_cast<int>(line), static_cast<int>(linePos),
                                   reason != nullptr ? reason : kNoReason, srcText != nullptr ? srcText : kNoSource,
                                   url != nullptr ? url : kNoUrl);
  if (wanted < 0) {
    text[0] = '\0';
  } else if (static_cast<size_t>(wanted) >= kParseErrorTextSize) {
    DropPartialCharacter(text, kParseErrorTextSize - 1);
  }
}

void SetParseErrorInfo(IXMLDOMNode* node, const _com_error& error) {
  if (node == nullptr) return;

  char text[kParseErrorTextSize] = {};
  IXMLDOMDocumentPtr doc;
  try {
    if (FAILED(node->get_ownerDocument(&doc)) || doc == nullptr) return;
    IXMLDOMParseErrorPtr parseError;
    if (FAILED(doc->get_parseError(&parseError))) return;
    if (parseError == nullptr) {
      std::snprintf(text, kParseErrorTextSize, "%s", kNoParseError);
    } else {
      Gather(parseError, text);
    }
  } catch (const _com_error&) {
    return;
  }

  ICreateErrorInfoPtr createInfo;
  if (FAILED(CreateErrorInfo(&createInfo))) return;
  const GUID guid = GuidOf(error);
  createInfo->SetGUID(guid);
  LPOLESTR progId = nullptr;
  if (SUCCEEDED(ProgIDFromCLSID(guid, &progId)) && progId != nullptr) createInfo->SetSource(progId);
  CoTaskMemFree(progId);

  // The one failure that is passed on: no memory for the description.
  _bstr_t description;
  try {
    description = text;
  } catch (const _com_error& conversion) {
    if (conversion.Error() == E_OUTOFMEMORY) throw;
    return;
  }
  createInfo->SetDescription(description);

  IErrorInfoPtr errorInfo;
  if (SUCCEEDED(createInfo->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&errorInfo)))) {
    SetErrorInfo(0, errorInfo);
  }
}
