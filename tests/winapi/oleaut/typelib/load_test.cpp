// Where LoadTypeLib finds a library: a .tlb file, a Windows module's
// TYPELIB resource, or one of our own modules' resources, optionally
// named by "\N".
#include "typelib_test_support.h"

#include "support/temp_root.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace typelibtest {
namespace {

HRESULT Load(const std::string& path, REGKIND kind = REGKIND_NONE) {
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLibEx(Wide(path).c_str(), kind, &lib);
  EXPECT_EQ(SUCCEEDED(hr), lib != nullptr);
  if (lib != nullptr) lib->Release();
  return hr;
}

TEST(TypeLibLoad, FromModuleResources) {
  EXPECT_EQ(Load(TYPELIB_TEST_MODULE), S_OK);
  EXPECT_EQ(Load(std::string(TYPELIB_TEST_MODULE) + "\\1"), S_OK);
  EXPECT_EQ(Load(std::string(TYPELIB_TEST_MODULE) + "\\2"), TYPE_E_CANTLOADLIBRARY);
  EXPECT_EQ(Load(std::string(TYPELIB_TEST_TLB) + "\\1"), TYPE_E_CANTLOADLIBRARY);  // a file has no resources

  // Wine's stdole2.tlb is a Windows module with the library as TYPELIB 1.
  ITypeLib* stdole = nullptr;
  ASSERT_EQ(LoadTypeLib(Wide(STDOLE2_TLB).c_str(), &stdole), S_OK);
  ITypeInfo* dispatch = nullptr;
  EXPECT_EQ(stdole->GetTypeInfoOfGuid(IID_IDispatch, &dispatch), S_OK);
  EXPECT_EQ(AttrOf(dispatch).cFuncs, 4);
  dispatch->Release();
  stdole->Release();
}

TEST(TypeLibLoad, WindowsPathsAndRegistrationOnRequest) {
  std::filesystem::path dir = qztest::TempRoot() / "drive_c" / "Libs";
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(TYPELIB_TEST_TLB, dir / "test.tlb");
  EXPECT_EQ(Load("C:\\Libs\\test.tlb", REGKIND_DEFAULT), S_OK);
  EXPECT_EQ(Load("C:\\Libs\\test.tlb", REGKIND_NONE), S_OK);
  BSTR path = nullptr;
  EXPECT_EQ(QueryPathOfRegTypeLib(LIBID_QZTESTLib, 2, 3, 0x409, &path), TYPE_E_LIBNOTREGISTERED);
  EXPECT_EQ(Load("C:\\Libs\\test.tlb", REGKIND_REGISTER), S_OK);
  ASSERT_EQ(QueryPathOfRegTypeLib(LIBID_QZTESTLib, 2, 3, 0x409, &path), S_OK);
  EXPECT_EQ(Narrow(path), "C:\\Libs\\test.tlb");
  SysFreeString(path);
}

TEST(TypeLibLoad, RefusesWhatIsNoLibrary) {
  ITypeLib* lib = reinterpret_cast<ITypeLib*>(1);
  EXPECT_EQ(LoadTypeLib(nullptr, &lib), E_INVALIDARG);
  EXPECT_EQ(lib, nullptr);
  EXPECT_EQ(LoadTypeLib(OLESTR("x.tlb"), nullptr), E_INVALIDARG);
  EXPECT_EQ(Load("C:\\missing\\nothing.tlb"), TYPE_E_CANTLOADLIBRARY);

  std::filesystem::path dir = qztest::FreshDirectory("not_libraries");
  std::filesystem::path text = dir / "text.tlb";
  std::FILE* file = std::fopen(text.c_str(), "wb");
  std::fputs("just some text", file);
  std::fclose(file);
  EXPECT_EQ(Load(text.string()), TYPE_E_CANTLOADLIBRARY);

  // Larger than any type library: refused before it is read.
  std::filesystem::path huge = dir / "huge.tlb";
  std::filesystem::copy_file(TYPELIB_TEST_TLB, huge);
  std::filesystem::resize_file(huge, 65u * 1024 * 1024);
  EXPECT_EQ(Load(huge.string()), TYPE_E_SIZETOOBIG);
}

}  // namespace
}  // namespace typelibtest
