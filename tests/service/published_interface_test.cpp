// The service's published interface as C++ clients compile against it: the
// header that widl makes from the IDL, on its own, with the DOM types it
// names.
#include "qzschemas.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

namespace {

std::string Text(REFGUID guid) {
  OLECHAR wide[CHARS_IN_GUID] = {};
  std::string text;
  if (StringFromGUID2(guid, wide, CHARS_IN_GUID) == 0) return text;
  for (const OLECHAR* p = wide; *p != 0; ++p) text.push_back(static_cast<char>(*p));
  return text;
}

TEST(PublishedInterfaceTest, GuidsAreThePublishedOnes) {
  EXPECT_EQ("{9F8C9A12-6868-44D8-B9CE-12E403B3BD63}", Text(LIBID_QZSCHEMASLib));
  EXPECT_EQ("{D20CF633-A2EE-42F9-84DB-D1FA05CF8C42}", Text(IID_IQZXMLSchemaService));
  EXPECT_EQ("{91204651-EA8A-40F3-B15C-93B864B7FF1B}", Text(IID_IQZXMLSchemaService2));
  EXPECT_EQ("{FB0841DE-8637-496C-9B23-22282F35FDE6}", Text(DIID__IQZXMLSchemaServiceEvents));
  EXPECT_EQ("{AEFFB600-A7EE-477B-8E63-2E84D27581AF}", Text(CLSID_QZXMLSchemaService));
  EXPECT_EQ("{F21ECEDC-A01B-4D4E-AC34-6BD01367491B}", Text(IID_IQZPersist));
  EXPECT_EQ("{8D89597B-2429-4F22-828F-02E7AFFAA018}", Text(IID_IQZPersistPropertyMap));
}

TEST(PublishedInterfaceTest, UuidofAnswersTheSameGuids) {
  EXPECT_EQ(IID_IQZXMLSchemaService, __uuidof(IQZXMLSchemaService));
  EXPECT_EQ(IID_IQZXMLSchemaService2, __uuidof(IQZXMLSchemaService2));
  EXPECT_EQ(DIID__IQZXMLSchemaServiceEvents, __uuidof(_IQZXMLSchemaServiceEvents));
  EXPECT_EQ(CLSID_QZXMLSchemaService, __uuidof(QZXMLSchemaService));
  EXPECT_EQ(IID_IQZPersistPropertyMap, __uuidof(IQZPersistPropertyMap));
  // The DOM types are MSXML 6's own, not copies.
  EXPECT_EQ(IID_IXMLDOMSchemaCollection, __uuidof(IXMLDOMSchemaCollection));
}

static_assert(std::is_base_of_v<IDispatch, IQZXMLSchemaService>);
static_assert(std::is_base_of_v<IQZXMLSchemaService, IQZXMLSchemaService2>);
static_assert(std::is_base_of_v<IQZPersist, IQZPersistPropertyMap>);
static_assert(!std::is_base_of_v<IDispatch, IQZPersist>);

// Records which method a call through the function table reached.
class Recorder final : public IQZXMLSchemaService2 {
 public:
  int called = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_Schemas(IXMLDOMSchemaCollection** ppVal) override { return Record(1); }
  HRESULT STDMETHODCALLTYPE UseSelectedEncoding(IXMLDOMDocument2* pDoc) override { return Record(2); }
  HRESULT STDMETHODCALLTYPE GetSelectedEncodingName(BSTR* pEncoding) override { return Record(3); }
  HRESULT STDMETHODCALLTYPE RegisterSchema(BSTR strSchemaFileName, BSTR* strErrroDescription) override {
    return Record(4);
  }
  HRESULT STDMETHODCALLTYPE UnRegisterSchema(BSTR strSchemaFileName, BSTR* strErrroDescription) override {
    return Record(5);
  }

 private:
  HRESULT Record(int member) {
    called = member;
    return S_OK;
  }
};

// Clients that bind by position find the members after IUnknown's three and
// IDispatch's four entries, in the published order.
TEST(PublishedInterfaceTest, MembersFollowIDispatchInThePublishedOrder) {
  using Entry = HRESULT(STDMETHODCALLTYPE*)(IQZXMLSchemaService2*, void*, void*);
  Recorder recorder;
  IQZXMLSchemaService2* object = &recorder;
  Entry* table = nullptr;
  std::memcpy(&table, static_cast<void*>(object), sizeof table);
  constexpr int kFirstMember = 7;
  for (int member = 1; member <= 5; ++member) {
    ASSERT_EQ(S_OK, table[kFirstMember + member - 1](object, nullptr, nullptr));
    EXPECT_EQ(member, recorder.called);
  }
}

// The type library refers to MSXML 6's library for the DOM types and holds
// no copy of them: a copy would make its registration take over MSXML's
// interface keys.
TEST(PublishedInterfaceTest, TypeLibraryImportsTheDomTypesWithoutCopyingThem) {
  std::ifstream file(QZ_TYPELIB, std::ios::binary);
  ASSERT_TRUE(file.good()) << QZ_TYPELIB;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(0u, bytes.find("MSFT"));
  const GUID msxml6 = {0xF5078F18, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
  EXPECT_NE(std::string::npos, bytes.find(std::string(reinterpret_cast<const char*>(&msxml6), sizeof msxml6)));
  EXPECT_NE(std::string::npos, bytes.find("msxml6.dll"));
  for (const char* domType : {"IXMLDOMSchemaCollection", "IXMLDOMDocument2", "IXMLDOMElement", "IXMLDOMNode"}) {
    EXPECT_EQ(std::string::npos, bytes.find(domType)) << domType;
  }
}

}  // namespace
