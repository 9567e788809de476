#include "msxml_test_support.h"

#include <fstream>
#include <sstream>

#include "support/cache_file_text.h"

namespace msxmltest {

const std::string kCacheFile = qztest::CacheFile(qztest::kDefaultCacheEntry);

IXMLDOMDocument2Ptr NewDocument(const CLSID& clsid) {
  IXMLDOMDocument2Ptr doc;
  EXPECT_EQ(S_OK, doc.CreateInstance(clsid, nullptr, CLSCTX_ALL));
  if (doc) {
    doc->put_async(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_TRUE);
    doc->put_validateOnParse(VARIANT_TRUE);
  }
  return doc;
}

IXMLDOMSchemaCollectionPtr NewSchemaCache() {
  IXMLDOMSchemaCollectionPtr cache;
  EXPECT_EQ(S_OK, cache.CreateInstance(CLSID_XMLSchemaCache60, nullptr, CLSCTX_SERVER));
  return cache;
}

std::string Utf8(BSTR text) {
  if (text == nullptr) return {};
  _bstr_t wrapped(text, true);
  const char* narrow = wrapped;
  return narrow != nullptr ? narrow : "";
}

bool LoadXml(IXMLDOMDocument2* doc, const char* utf8) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  HRESULT hr = doc->loadXML(_bstr_t(utf8), &ok);
  return hr == S_OK && ok == VARIANT_TRUE;
}

std::string XmlOf(IXMLDOMNode* node) {
  BSTR xml = nullptr;
  EXPECT_EQ(S_OK, node->get_xml(&xml));
  std::string text = Utf8(xml);
  SysFreeString(xml);
  return text;
}

ErrorFields ParseErrorOf(IXMLDOMDocument2* doc) {
  ErrorFields fields;
  IXMLDOMParseErrorPtr error;
  EXPECT_EQ(S_OK, doc->get_parseError(&error));
  fields.codeResult = error->get_errorCode(&fields.code);
  BSTR text = nullptr;
  error->get_reason(&text);
  fields.reasonNull = text == nullptr;
  fields.reason = Utf8(text);
  SysFreeString(text);
  text = nullptr;
  error->get_srcText(&text);
  fields.srcText = Utf8(text);
  SysFreeString(text);
  text = nullptr;
  error->get_url(&text);
  fields.urlNull = text == nullptr;
  fields.url = Utf8(text);
  SysFreeString(text);
  error->get_line(&fields.line);
  error->get_linepos(&fields.linepos);
  error->get_filepos(&fields.filepos);
  return fields;
}

IStreamPtr StreamOf(const std::string& bytes) {
  IStreamPtr stream;
  EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ULONG written = 0;
  if (!bytes.empty()) {
    EXPECT_EQ(S_OK, stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
  }
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

IXMLDOMNodeListPtr Select(IXMLDOMNode* node, const char* xpath, HRESULT* hr) {
  IXMLDOMNodeListPtr list;
  HRESULT result = node->selectNodes(_bstr_t(xpath), &list);
  if (hr != nullptr) *hr = result;
  return list;
}

LONG LengthOf(IXMLDOMNodeList* list) {
  LONG length = -1;
  if (list != nullptr) list->get_length(&length);
  return length;
}

}  // namespace msxmltest
