// Shared by the DOM tests: smart pointers, a COM-initialised fixture and
// small conversions.
#pragma once

#include <filesystem>
#include <string>

#include <comdef.h>
#include <gtest/gtest.h>
#include <msxml6.h>
#include <objbase.h>

#include "support/files.h"
#include "support/msxml_ptrs.h"

namespace msxmltest {

class DomTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(CoInitialize(nullptr), 0); }
  void TearDown() override { CoUninitialize(); }
};

// A DOMDocument60 set up as the system sets its documents up: synchronous,
// validating, resolving externals.
IXMLDOMDocument2Ptr NewDocument(const CLSID& clsid = CLSID_DOMDocument60);
IXMLDOMSchemaCollectionPtr NewSchemaCache();

std::string Utf8(BSTR text);
// loadXML; true when it succeeded.
bool LoadXml(IXMLDOMDocument2* doc, const char* utf8);
std::string XmlOf(IXMLDOMNode* node);

// The document's parse error, read whole.
struct ErrorFields {
  LONG code = 0;
  HRESULT codeResult = S_OK;
  std::string reason, srcText, url;
  bool reasonNull = true, urlNull = true;
  LONG line = 0, linepos = 0, filepos = 0;
};
ErrorFields ParseErrorOf(IXMLDOMDocument2* doc);

IStreamPtr StreamOf(const std::string& bytes);
using qztest::ReadFile;
using qztest::WriteFile;

// Selection as the system does it.
IXMLDOMNodeListPtr Select(IXMLDOMNode* node, const char* xpath, HRESULT* hr = nullptr);
LONG LengthOf(IXMLDOMNodeList* list);

// The schema cache file as the service writes it by default.
extern const std::string kCacheFile;  // the default schema cache file

}  // namespace msxmltest
