// Shared by the DOM tests: smart pointers, a COM-initialised fixture and
// small conversions.
#pragma once

#include <filesystem>
#include <string>

#include <comdef.h>
#include <gtest/gtest.h>
#include <msxml6.h>
#include <objbase.h>

_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument2, __uuidof(IXMLDOMDocument2));
_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument, __uuidof(IXMLDOMDocument));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNode, __uuidof(IXMLDOMNode));
_COM_SMARTPTR_TYPEDEF(IXMLDOMElement, __uuidof(IXMLDOMElement));
_COM_SMARTPTR_TYPEDEF(IXMLDOMAttribute, __uuidof(IXMLDOMAttribute));
_COM_SMARTPTR_TYPEDEF(IXMLDOMText, __uuidof(IXMLDOMText));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(IXMLDOMNodeList));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNamedNodeMap, __uuidof(IXMLDOMNamedNodeMap));
_COM_SMARTPTR_TYPEDEF(IXMLDOMParseError, __uuidof(IXMLDOMParseError));
_COM_SMARTPTR_TYPEDEF(IXMLDOMProcessingInstruction, __uuidof(IXMLDOMProcessingInstruction));
_COM_SMARTPTR_TYPEDEF(IXMLDOMSchemaCollection, __uuidof(IXMLDOMSchemaCollection));
_COM_SMARTPTR_TYPEDEF(IPersistStream, __uuidof(IPersistStream));
_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));

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
std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

// Selection as the system does it.
IXMLDOMNodeListPtr Select(IXMLDOMNode* node, const char* xpath, HRESULT* hr = nullptr);
LONG LengthOf(IXMLDOMNodeList* list);

// The schema cache file as the service writes it by default.
extern const std::string kCacheFile;  // the default schema cache file

}  // namespace msxmltest
