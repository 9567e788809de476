// Loading documents: loadXML, load by path, IPersistStream::Load, encodings,
// parse errors and bad input.
#include <support/temp_root.h>

#include "msxml_test_support.h"

namespace msxmltest {
namespace {

class DocumentLoad : public DomTest {};

TEST_F(DocumentLoad, DefaultsAreThoseOfMsxml6) {
  IXMLDOMDocument2Ptr doc;
  ASSERT_EQ(S_OK, doc.CreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_ALL));
  VARIANT_BOOL flag = VARIANT_FALSE;
  doc->get_async(&flag);
  EXPECT_EQ(VARIANT_TRUE, flag);
  doc->get_validateOnParse(&flag);
  EXPECT_EQ(VARIANT_TRUE, flag);
  doc->get_resolveExternals(&flag);
  EXPECT_EQ(VARIANT_FALSE, flag);
  _variant_t language;
  ASSERT_EQ(S_OK, doc->getProperty(_bstr_t("SelectionLanguage"), &language));
  EXPECT_EQ(_bstr_t("XPath"), _bstr_t(language.bstrVal));
  // A fresh document has no error: code 0, answered with S_FALSE, null reason.
  ErrorFields error = ParseErrorOf(doc);
  EXPECT_EQ(0, error.code);
  EXPECT_EQ(S_FALSE, error.codeResult);
  EXPECT_TRUE(error.reasonNull);
}

TEST_F(DocumentLoad, LoadXmlTakesUtf16WhateverTheDeclarationSays) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_TRUE(LoadXml(doc, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\xC3\xA9\xE2\x82\xAC\"/>"));
  IXMLDOMElementPtr root;
  ASSERT_EQ(S_OK, doc->get_documentElement(&root));
  _variant_t value;
  ASSERT_EQ(S_OK, root->getAttribute(_bstr_t("a"), &value));
  EXPECT_EQ(std::u16string(u"\u00E9\u20AC"), std::u16string(value.bstrVal));
}

TEST_F(DocumentLoad, StreamsAreDecodedByBomOrDeclaration) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::u16string expected = u"\u00E9";
  const Case cases[] = {
      {"utf-8 bom", "\xEF\xBB\xBF<r>\xC3\xA9</r>"},
      {"utf-8 plain", "<r>\xC3\xA9</r>"},
      {"utf-16le bom", std::string("\xFF\xFE<\0r\0>\0\xE9\0<\0/\0r\0>\0", 18)},
      {"utf-16be bom", std::string("\xFE\xFF\0<\0r\0>\0\xE9\0<\0/\0r\0>", 18)},
      {"iso-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE9</r>"},
      {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\xE9</r>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IXMLDOMDocument2Ptr doc = NewDocument();
    IPersistStreamPtr persist = doc;
    ASSERT_TRUE(persist);
    ASSERT_EQ(S_OK, persist->Load(StreamOf(c.bytes)));
    BSTR text = nullptr;
    ASSERT_EQ(S_OK, doc->get_text(&text));
    EXPECT_EQ(expected, std::u16string(text));
    SysFreeString(text);
  }
}

// A client's own stream: read through IStream alone, never as global memory.
class ForeignStream : public IStream {
 public:
  explicit ForeignStream(IStream* inner) : inner_(inner) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_ISequentialStream && riid != IID_IStream) return E_NOINTERFACE;
    *ppv = static_cast<IStream*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* read) override { return inner_->Read(pv, cb, read); }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* to) override {
    return inner_->Seek(move, origin, to);
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flag) override { return inner_->Stat(stat, flag); }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  IStream* inner_;
};

TEST_F(DocumentLoad, StreamsLoadFromTheirPositionToTheirEnd) {
  const std::string bytes = "skipped<r>x</r>";
  IStreamPtr memory = StreamOf(bytes);
  IStreamPtr inner = StreamOf(bytes);
  ForeignStream foreign(inner);
  IStream* const streams[] = {memory, &foreign};
  for (IStream* stream : streams) {
    LARGE_INTEGER start{.QuadPart = 7};
    ASSERT_EQ(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
    IXMLDOMDocument2Ptr doc = NewDocument();
    IPersistStreamPtr persist = doc;
    ASSERT_EQ(S_OK, persist->Load(stream));
    EXPECT_EQ("<r>x</r>", XmlOf(doc).substr(0, 8));
    ULARGE_INTEGER at{};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &at);
    EXPECT_EQ(bytes.size(), at.QuadPart);  // read to the end, as by Read
  }
}

TEST_F(DocumentLoad, BlankTextGoesExceptWhereXmlSpaceSaysPreserve) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_TRUE(LoadXml(doc, "<r> <a xml:space='preserve'> <b> </b></a> <c xml:space='default'> <d> </d></c>"
                           "<e xml:space='other'> </e></r>"));
  IXMLDOMElementPtr root;
  ASSERT_EQ(S_OK, doc->get_documentElement(&root));
  EXPECT_EQ("<r><a xml:space=\"preserve\"> <b> </b></a><c xml:space=\"default\"><d/></c>"
            "<e xml:space=\"other\"/></r>",
            XmlOf(root));
}

TEST_F(DocumentLoad, BlankTextFromAnEntityFollowsWhereTheEntityIsUsed) {
  // The entity's content is parsed once and copied to each use; each copy
  // keeps or loses its blanks by its own place, whichever use comes first.
  const char* const texts[] = {
      "<!DOCTYPE r [<!ENTITY e '<x> </x>'>]><r><p xml:space='preserve'>&e;</p><q>&e;</q></r>",
      "<!DOCTYPE r [<!ENTITY e '<x> </x>'>]><r><q>&e;</q><p xml:space='preserve'>&e;</p></r>"};
  const char* const expected[] = {"<r><p xml:space=\"preserve\"><x> </x></p><q><x/></q></r>",
                                  "<r><q><x/></q><p xml:space=\"preserve\"><x> </x></p></r>"};
  for (int i = 0; i < 2; ++i) {
    IXMLDOMDocument2Ptr doc = NewDocument();
    doc->put_validateOnParse(VARIANT_FALSE);  // the DTD declares no elements
    ASSERT_TRUE(LoadXml(doc, texts[i]));
    IXMLDOMElementPtr root;
    ASSERT_EQ(S_OK, doc->get_documentElement(&root));
    EXPECT_EQ(expected[i], XmlOf(root));
  }
}

TEST_F(DocumentLoad, EmptyStreamFailsWithMissingRoot) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  IPersistStreamPtr persist = doc;
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE558), persist->Load(StreamOf("")));
  ErrorFields error = ParseErrorOf(doc);
  EXPECT_EQ(static_cast<LONG>(0xC00CE558), error.code);
  EXPECT_TRUE(error.urlNull);  // streams have no URL
}

TEST_F(DocumentLoad, MalformedTextReportsWhereItBroke) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  IPersistStreamPtr persist = doc;
  HRESULT hr = persist->Load(StreamOf("<root>\r\n  <a></b>\r\n</root>"));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE56D), hr);
  ErrorFields error = ParseErrorOf(doc);
  EXPECT_EQ(hr, error.code);
  EXPECT_EQ(S_OK, error.codeResult);
  EXPECT_EQ(2, error.line);
  EXPECT_GT(error.linepos, 1);
  EXPECT_EQ("  <a></b>", error.srcText);
  EXPECT_FALSE(error.reason.empty());
  // A failed load leaves an empty document.
  IXMLDOMElementPtr root;
  EXPECT_EQ(S_FALSE, doc->get_documentElement(&root));
}

TEST_F(DocumentLoad, ANamespaceNameIsAnyTextButPrefixesMustBeDeclared) {
  // A namespace name need not be a URI: platform files name schemas by Windows path.
  IXMLDOMDocument2Ptr doc = NewDocument();
  IPersistStreamPtr persist = doc;
  ASSERT_EQ(S_OK, persist->Load(StreamOf("<r xmlns=\"x-schema:C:\\d\\c.xml\"><p:a xmlns:p=\"a b\"/></r>")));
  IXMLDOMElementPtr root;
  ASSERT_EQ(S_OK, doc->get_documentElement(&root));
  _bstr_t uri;
  ASSERT_EQ(S_OK, root->get_namespaceURI(uri.GetAddress()));
  EXPECT_EQ(_bstr_t("x-schema:C:\\d\\c.xml"), uri);

  // An undeclared prefix still fails, even after a namespace name that is no URI.
  IXMLDOMDocument2Ptr other = NewDocument();
  IPersistStreamPtr otherPersist = other;
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE01D),
            otherPersist->Load(StreamOf("<r xmlns=\"x-schema:C:\\d\\c.xml\"><q:a/></r>")));
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE01D), ParseErrorOf(other).code);
}

TEST_F(DocumentLoad, LoadByPathAnswersSFalseForMissingMalformedOrInvalidFiles) {
  auto dir = qztest::FreshDirectory("load");
  WriteFile(dir / "bad.xml", "<a><b></a>");
  std::string invalidCache = kCacheFile;
  invalidCache.replace(invalidCache.find("\t\t<QZSchema urn"), invalidCache.find("\t</QZSchemas>") -
                                                                    invalidCache.find("\t\t<QZSchema urn"),
                       "");
  WriteFile(dir / "invalid.xml", invalidCache);
  for (const char* name : {"missing.xml", "bad.xml", "invalid.xml"}) {
    SCOPED_TRACE(name);
    IXMLDOMDocument2Ptr doc = NewDocument();
    std::string path = (dir / name).string();
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(S_FALSE, doc->load(_variant_t(path.c_str()), &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    ErrorFields error = ParseErrorOf(doc);
    EXPECT_LT(error.code, 0);
    EXPECT_EQ(path, error.url);
  }
}

TEST_F(DocumentLoad, WindowsPathsMapToTheStandInDrives) {
  auto dir = qztest::TempRoot() / "drive_c" / "Data";
  std::filesystem::create_directories(dir);
  WriteFile(dir / "doc.xml", "<r/>");
  IXMLDOMDocument2Ptr doc = NewDocument();
  VARIANT_BOOL ok = VARIANT_FALSE;
  EXPECT_EQ(S_OK, doc->load(_variant_t("C:\\Data\\doc.xml"), &ok));
  EXPECT_EQ(VARIANT_TRUE, ok);
}

TEST_F(DocumentLoad, NeverReachesTheNetwork) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(S_FALSE, doc->load(_variant_t("http://localhost/doc.xml"), &ok));
  EXPECT_EQ(VARIANT_FALSE, ok);
  // An external DTD on the network is not fetched: the document loads
  // without it or fails, but never waits on a connection.
  LoadXml(doc, "<!DOCTYPE r SYSTEM \"http://127.0.0.1:9/r.dtd\"><r/>");
}

TEST_F(DocumentLoad, ExternalEntitiesOnlyWithResolveExternals) {
  auto dir = qztest::FreshDirectory("entities");
  WriteFile(dir / "secret.txt", "SECRET");
  std::string text = "<!DOCTYPE r [<!ENTITY e SYSTEM \"" + (dir / "secret.txt").string() + "\">]><r>&e;</r>";
  IXMLDOMDocument2Ptr doc = NewDocument();
  doc->put_validateOnParse(VARIANT_FALSE);
  doc->put_resolveExternals(VARIANT_FALSE);
  LoadXml(doc, text.c_str());
  BSTR content = nullptr;
  doc->get_text(&content);
  EXPECT_EQ(std::string::npos, Utf8(content).find("SECRET"));
  SysFreeString(content);

  doc->put_resolveExternals(VARIANT_TRUE);
  ASSERT_TRUE(LoadXml(doc, text.c_str()));
  doc->get_text(&content);
  EXPECT_EQ("SECRET", Utf8(content));
  SysFreeString(content);
}

TEST_F(DocumentLoad, BadInputGivesClearErrors) {
  // Entity expansion is bounded: ten levels of ten references each.
  std::string laughs = "<!DOCTYPE r [<!ENTITY e0 \"ha\">";
  for (int level = 1; level <= 10; ++level) {
    laughs += "<!ENTITY e" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) laughs += "&e" + std::to_string(level - 1) + ";";
    laughs += "\">";
  }
  laughs += "]><r>&e10;</r>";
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  std::string hugeAttribute = "<r a=\"" + std::string(20 * 1024 * 1024, 'x') + "\"/>";
  const char* const cases[] = {laughs.c_str(), deep.c_str(), "<r xmlns:p='u'><q:x/></r>", "<a/><b/>", "text",
                               hugeAttribute.c_str()};
  for (const char* text : cases) {
    IXMLDOMDocument2Ptr doc = NewDocument();
    EXPECT_FALSE(LoadXml(doc, text));
    EXPECT_LT(ParseErrorOf(doc).code, 0);
  }
}

TEST_F(DocumentLoad, TextPastTheParsersPieceBoundsLoadsAsFromOneBuffer) {
  // One text node of more than 10,000,000 characters loads; a comment that
  // long does not, with a clear error.
  const std::string longText(10 * 1000 * 1000 + 1, 'x');
  IXMLDOMDocument2Ptr doc = NewDocument();
  IPersistStreamPtr persist = doc;
  ASSERT_EQ(S_OK, persist->Load(StreamOf("<r>" + longText + "</r>")));
  BSTR content = nullptr;
  ASSERT_EQ(S_OK, doc->get_text(&content));
  EXPECT_EQ(longText.size(), SysStringLen(content));
  SysFreeString(content);

  EXPECT_LT(persist->Load(StreamOf("<r><!--" + longText + "--></r>")), 0);
  EXPECT_LT(ParseErrorOf(doc).code, 0);
  EXPECT_FALSE(ParseErrorOf(doc).reason.empty());
}

TEST_F(DocumentLoad, ABomThatContradictsTheDeclarationDoesNotCrash) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  IPersistStreamPtr persist = doc;
  std::string bytes("\xFF\xFE", 2);
  for (char c : std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r/>")) {
    bytes += c;
    bytes += '\0';
  }
  // The byte-order mark wins or the load fails with a parse error; either
  // way the answer is clear.
  HRESULT hr = persist->Load(StreamOf(bytes));
  if (FAILED(hr)) {
    EXPECT_EQ(hr, static_cast<HRESULT>(ParseErrorOf(doc).code));
  } else {
    IXMLDOMElementPtr root;
    EXPECT_EQ(S_OK, doc->get_documentElement(&root));
  }
}

// The engine reports only through the parse error: a file whose bytes do
// not convert from the encoding its byte-order mark names fails to load,
// and nothing is written to the process's standard error.
TEST_F(DocumentLoad, UndecodableTextFailsQuietly) {
  auto dir = qztest::FreshDirectory("undecodable");
  // UTF-16LE: "<r>", a high surrogate followed by 'A' (no low surrogate), "</r>".
  const std::string bytes("\xFF\xFE<\0r\0>\0\x00\xD8" "A\0<\0/\0r\0>\0", 20);
  std::string path = WriteFile(dir / "corrupt.xml", bytes).string();
  IXMLDOMDocument2Ptr byPath = NewDocument();
  IXMLDOMDocument2Ptr byStream = NewDocument();
  IPersistStreamPtr persist = byStream;
  VARIANT_BOOL ok = VARIANT_TRUE;
  testing::internal::CaptureStderr();
  HRESULT pathResult = byPath->load(_variant_t(path.c_str()), &ok);
  HRESULT streamResult = persist->Load(StreamOf(bytes));
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
  EXPECT_EQ(S_FALSE, pathResult);
  EXPECT_EQ(VARIANT_FALSE, ok);
  ErrorFields error = ParseErrorOf(byPath);
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE56E), error.code);  // bad encoding
  EXPECT_NE(std::string::npos, error.reason.find("0xD8")) << error.reason;
  EXPECT_EQ(path, error.url);
  EXPECT_LT(streamResult, 0);
  EXPECT_EQ(streamResult, static_cast<HRESULT>(ParseErrorOf(byStream).code));
}

}  // namespace
}  // namespace msxmltest
