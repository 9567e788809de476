// The resolver as its clients meet it: through the registry, by CoCreateInstance.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <comdef.h>

#include "PlatformPathResolver.h"
#include "support/resolver_installer.h"
#include "support/narrow.h"
#include "support/temp_root.h"

namespace {

using qztest::Narrow;

// The value's type and text ("1:text"), or "missing"; with keyOnly, "key"
// when the key is there.
std::string RegistryValue(const char* path, const char* name = nullptr, bool keyOnly = false) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "missing";
  char data[MAX_PATH] = {};
  DWORD size = sizeof(data) - 1;
  DWORD type = REG_NONE;
  LSTATUS status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (keyOnly) return "key";
  return status == ERROR_SUCCESS ? std::to_string(type) + ":" + data : "missing";
}

bool TypeLibRegistered() {
  BSTR path = nullptr;
  HRESULT hr = QueryPathOfRegTypeLib(LIBID_PlatformPathResolverLib, 1, 0, 0, &path);
  SysFreeString(path);
  return SUCCEEDED(hr);
}

class ResolverTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(CoInitialize(nullptr), 0);
    ASSERT_EQ(S_OK, resolvertest::RegisterResolver());
  }
  void TearDown() override {
    resolvertest::SetCommonDirectory(nullptr);
    if (resolver_ != nullptr) resolver_->Release();
    CoUninitialize();
  }

  IPlatformPathResolver* Resolver() {
    if (resolver_ == nullptr) {
      EXPECT_EQ(S_OK, CoCreateInstance(CLSID_PlatformPathResolver, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IPlatformPathResolver, reinterpret_cast<void**>(&resolver_)));
    }
    return resolver_;
  }

  // The answer for relative, or the failing HRESULT as text.
  std::string Resolve(const OLECHAR* relative) {
    _bstr_t in(relative);
    BSTR full = nullptr;
    HRESULT hr = Resolver()->ResolveSharedPath(relative != nullptr ? static_cast<BSTR>(in) : nullptr, &full);
    std::string result = SUCCEEDED(hr) ? Narrow(full) : "hr " + std::to_string(static_cast<unsigned long>(hr));
    SysFreeString(full);
    return result;
  }

  IPlatformPathResolver* resolver_ = nullptr;
};

TEST_F(ResolverTest, ResolvesBelowTheDefaultCommonDirectory) {
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzschemas.xml", Resolve(OLESTR("Shared\\qzschemas.xml")));
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane", Resolve(nullptr));
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane", Resolve(OLESTR("")));
  const std::string invalidArg = "hr " + std::to_string(static_cast<unsigned long>(E_INVALIDARG));
  EXPECT_EQ(invalidArg, Resolve(OLESTR("C:\\elsewhere.xml")));
  EXPECT_EQ(invalidArg, Resolve(OLESTR("\\Shared\\qzschemas.xml")));
  EXPECT_EQ(E_POINTER, Resolver()->ResolveSharedPath(nullptr, nullptr));

  VARIANT_BOOL overridden = VARIANT_TRUE;
  EXPECT_EQ(S_OK, Resolver()->get_IsOverridden(&overridden));
  EXPECT_EQ(VARIANT_FALSE, overridden);
}

TEST_F(ResolverTest, TheRegistryValueMovesTheCommonDirectoryAtOnce) {
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane\\Shared\\a.xml", Resolve(OLESTR("Shared\\a.xml")));
  resolvertest::SetCommonDirectory("D:\\Platform\\");
  EXPECT_EQ("D:\\Platform\\Shared\\a.xml", Resolve(OLESTR("Shared\\a.xml")));
  BSTR directory = nullptr;
  EXPECT_EQ(S_OK, Resolver()->get_CommonDirectory(&directory));
  EXPECT_EQ("D:\\Platform", Narrow(directory));
  SysFreeString(directory);
  resolvertest::SetCommonDirectory("");
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane\\Shared\\a.xml", Resolve(OLESTR("Shared\\a.xml")));
}

// The platform's clients name the resolver by these GUIDs.
TEST(ResolverIdentityTest, GuidsAreThePlatformsOwn) {
  OLECHAR text[CHARS_IN_GUID] = {};
  ASSERT_NE(0, StringFromGUID2(CLSID_PlatformPathResolver, text, CHARS_IN_GUID));
  EXPECT_EQ("{641B5205-6FCC-45AB-A6D8-683206A61500}", Narrow(_bstr_t(text)));
  ASSERT_NE(0, StringFromGUID2(IID_IPlatformPathResolver, text, CHARS_IN_GUID));
  EXPECT_EQ("{CA210D9F-554C-465E-AAEE-D2C9E6A87377}", Narrow(_bstr_t(text)));
  EXPECT_EQ(IID_IPlatformPathResolver, __uuidof(IPlatformPathResolver));
  EXPECT_EQ(CLSID_PlatformPathResolver, __uuidof(PlatformPathResolver));
}

// Clients that bind by position call the tenth entry of the function table.
TEST_F(ResolverTest, ResolveSharedPathIsTheTenthTableEntry) {
  using Method = HRESULT(STDMETHODCALLTYPE*)(IPlatformPathResolver*, BSTR, BSTR*);
  Method tenth = (*reinterpret_cast<Method**>(Resolver()))[9];
  _bstr_t relative(OLESTR("Shared\\qzencodings.xml"));
  BSTR full = nullptr;
  ASSERT_EQ(S_OK, tenth(Resolver(), relative, &full));
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzencodings.xml", Narrow(full));
  SysFreeString(full);
}

TEST_F(ResolverTest, ClassObjectRefusesAggregationAndOtherClasses) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, CoGetClassObject(CLSID_PlatformPathResolver, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   reinterpret_cast<void**>(&factory)));
  IUnknown* object = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IUnknown,
                                                           reinterpret_cast<void**>(&object)));
  EXPECT_EQ(nullptr, object);
  factory->Release();

  HMODULE module = LoadLibraryA(QZ_RESOLVER_MODULE);
  ASSERT_NE(nullptr, module);
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      GetProcAddress(module, "DllGetClassObject"));
  auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllCanUnloadNow"));
  ASSERT_NE(nullptr, getClassObject);
  ASSERT_NE(nullptr, canUnloadNow);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IPlatformPathResolver, IID_IClassFactory, &other));
  EXPECT_EQ(nullptr, other);

  // A living resolver keeps the server loaded.
  Resolver();
  EXPECT_EQ(S_FALSE, canUnloadNow());
  resolver_->Release();
  resolver_ = nullptr;
  EXPECT_EQ(S_OK, canUnloadNow());
  FreeLibrary(module);
}

TEST_F(ResolverTest, RegistrationNamesTheModuleAndItsTypeLibrary) {
  const char classKey[] = "CLSID\\{641B5205-6FCC-45AB-A6D8-683206A61500}";
  EXPECT_EQ("1:Platform Path Resolver", RegistryValue(classKey));
  EXPECT_EQ("1:Both", RegistryValue((std::string(classKey) + "\\InprocServer32").c_str(), "ThreadingModel"));
  EXPECT_EQ("1:{E72B69E6-EB79-44EB-8773-E5FC5166070F}", RegistryValue((std::string(classKey) + "\\TypeLib").c_str()));
  EXPECT_TRUE(TypeLibRegistered());
  EXPECT_NE("missing", RegistryValue("Interface\\{CA210D9F-554C-465E-AAEE-D2C9E6A87377}"));

  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  EXPECT_EQ("missing", RegistryValue(classKey));
  EXPECT_FALSE(TypeLibRegistered());
  EXPECT_EQ("missing", RegistryValue("Interface\\{CA210D9F-554C-465E-AAEE-D2C9E6A87377}"));
  EXPECT_NE("missing", RegistryValue("CLSID", nullptr, true)) << "the CLSID key itself stays";
}

TEST_F(ResolverTest, ItsIDispatchWorksFromTheRegisteredTypeLibrary) {
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(S_OK, Resolver()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
  UINT count = 0;
  EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, 0, &info));
  ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, &info));
  info->Release();

  LPOLESTR name = const_cast<LPOLESTR>(OLESTR("resolvesharedpath"));
  DISPID id = 0;
  ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  EXPECT_EQ(3, id);
  dispatch->Release();
}

// A module path with a quote in it reaches the registry as it is.
TEST(ResolverRegistration, AModulePathWithAQuoteIsRegisteredAsItIs) {
  std::filesystem::path folder = qztest::FreshDirectory("it's here");
  std::filesystem::path copy = folder / "resolver.so";
  std::filesystem::copy_file(QZ_RESOLVER_MODULE, copy);
  HMODULE module = LoadLibraryA(copy.c_str());
  ASSERT_NE(nullptr, module);
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(module, path, MAX_PATH), 0u);
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_NE(nullptr, registerServer);
  EXPECT_EQ(S_OK, registerServer());
  EXPECT_EQ(std::string("1:") + path,
            RegistryValue("CLSID\\{641B5205-6FCC-45AB-A6D8-683206A61500}\\InprocServer32"));
  FreeLibrary(module);
}

TEST_F(ResolverTest, UnregisteredMeansNotInstalled) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  EXPECT_EQ(S_OK, resolvertest::UnregisterResolver());
  IPlatformPathResolver* resolver = nullptr;
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_PlatformPathResolver, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IPlatformPathResolver, reinterpret_cast<void**>(&resolver)));
  EXPECT_EQ(nullptr, resolver);
}

}  // namespace
