// The basic datatypes schema in an MSXML schema collection, as the service
// builds it: written from the module's resource to a file, loaded into a
// free-threaded document, added under the URN the schema cache names it by,
// and then used to validate a platform document.
#include <gtest/gtest.h>
#include <msxml6.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "resource.h"
#include "support/temp_root.h"

namespace {

constexpr OLECHAR kUrn[] = OLESTR("x-schema:Tavel-basic-datatypes.xml");

// Owns a BSTR made from ASCII text.
class Bstr {
 public:
  explicit Bstr(const std::string& text) {
    std::u16string wide(text.begin(), text.end());
    bstr_ = SysAllocString(wide.c_str());
  }
  explicit Bstr(const OLECHAR* text) : bstr_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(bstr_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return bstr_; }

 private:
  BSTR bstr_;
};

template <typename T>
void Release(T*& pointer) {
  if (pointer != nullptr) pointer->Release();
  pointer = nullptr;
}

class BasicDatatypesCollection : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    path_ = WriteSchemaFromResource();
    ASSERT_FALSE(path_.empty());
    ASSERT_EQ(CoCreateInstance(CLSID_XMLSchemaCache60, nullptr, CLSCTX_SERVER, IID_IXMLDOMSchemaCollection,
                               reinterpret_cast<void**>(&collection_)),
              S_OK);
  }
  void TearDown() override {
    Release(collection_);
    CoUninitialize();
  }

  // Writes resource 201 of this program to a file, as registration does.
  static std::string WriteSchemaFromResource() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_BASIC_DATATYPES_SCHEMA), RT_HTML);
    if (found == nullptr) return "";
    const void* bytes = LockResource(LoadResource(module, found));
    std::string path = (qztest::FreshDirectory("collection") / "Tavel-basic-datatypes.xml").string();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return "";
    std::fwrite(bytes, 1, SizeofResource(module, found), file);
    std::fclose(file);
    return path;
  }

  // A free-threaded document loaded from the written file, with the flags
  // the service sets on its schema documents.
  IXMLDOMDocument2* LoadSchemaDocument() const {
    IXMLDOMDocument2* doc = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_FreeThreadedDOMDocument60, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument2,
                               reinterpret_cast<void**>(&doc)),
              S_OK);
    if (doc == nullptr) return nullptr;
    doc->put_async(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_TRUE);
    doc->put_validateOnParse(VARIANT_TRUE);
    Bstr path(path_);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = path;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_EQ(doc->load(source, &loaded), S_OK);
    EXPECT_EQ(loaded, VARIANT_TRUE);
    return doc;
  }

  HRESULT Add(const OLECHAR* key, IXMLDOMDocument2* schema) const {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = schema;
    Bstr urn(key);
    return collection_->add(urn, value);
  }

  // validate() of a platform document against the collection.
  HRESULT Validate(const std::string& xml) const {
    IXMLDOMDocument2* doc = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument2,
                               reinterpret_cast<void**>(&doc)),
              S_OK);
    if (doc == nullptr) return E_FAIL;
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    VARIANT schemas;
    VariantInit(&schemas);
    schemas.vt = VT_DISPATCH;
    schemas.pdispVal = collection_;
    EXPECT_EQ(doc->putref_schemas(schemas), S_OK);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_EQ(doc->loadXML(Bstr(xml), &loaded), S_OK);
    IXMLDOMParseError* error = nullptr;
    HRESULT result = doc->validate(&error);
    Release(error);
    Release(doc);
    return result;
  }

  std::string path_;
  IXMLDOMSchemaCollection* collection_ = nullptr;
};

TEST_F(BasicDatatypesCollection, IsAcceptedUnderItsUrnOnly) {
  IXMLDOMDocument2* schema = LoadSchemaDocument();
  ASSERT_NE(schema, nullptr);
  EXPECT_TRUE(FAILED(Add(OLESTR("x-schema:Other.xml"), schema)));
  EXPECT_EQ(Add(kUrn, schema), S_OK);
  Release(schema);

  LONG length = 0;
  EXPECT_EQ(collection_->get_length(&length), S_OK);
  EXPECT_EQ(length, 1);
  BSTR key = nullptr;
  EXPECT_EQ(collection_->get_namespaceURI(0, &key), S_OK);
  EXPECT_EQ(std::u16string(key != nullptr ? key : u""), std::u16string(kUrn));
  SysFreeString(key);
}

TEST_F(BasicDatatypesCollection, ValidatesPlatformDocuments) {
  IXMLDOMDocument2* schema = LoadSchemaDocument();
  ASSERT_NE(schema, nullptr);
  ASSERT_EQ(Add(kUrn, schema), S_OK);
  Release(schema);

  const std::string open = "<QZData xmlns=\"x-schema:Tavel-basic-datatypes.xml\" xSize=\"any\"><data/><QZXTagVectors>";
  const std::string close = "</QZXTagVectors></QZData>";
  EXPECT_EQ(Validate(open + "<QZTagVector length=\"2\"/>" + close), S_OK);
  EXPECT_TRUE(FAILED(Validate(open + "<QZTagVector/>" + close)));
}

}  // namespace
