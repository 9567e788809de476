// In-process servers found through HKCR\CLSID\{clsid}\InprocServer32:
// loading, activation, failures, and unloading through DllCanUnloadNow.
#include <string>

#include <gtest/gtest.h>
#include <objbase.h>

#include "com_test_support.h"
#include "test_server.h"

namespace {

using comtest::CreateAdder;
using comtest::IsModuleLoaded;
using comtest::kServerClsid;

class InprocServer : public comtest::ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    comtest::RegisterInprocServer(kServerClsid, QZ_TEST_SERVER_PATH, "Apartment");
  }
};

TEST_F(InprocServer, IsLoadedOnActivationAndUnloadedWhenItCanBe) {
  ASSERT_FALSE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  comtest::IAdder* adder = nullptr;
  ASSERT_EQ(CreateAdder(&adder), S_OK);
  LONG sum = 0;
  EXPECT_EQ(adder->Add(2, 3, &sum), S_OK);
  EXPECT_EQ(sum, 5);
  CoFreeUnusedLibraries();  // an object is alive: DllCanUnloadNow says S_FALSE
  EXPECT_TRUE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  adder->Release();
  CoFreeUnusedLibraries();
  EXPECT_FALSE(IsModuleLoaded(QZ_TEST_SERVER_PATH));

  // The last CoUninitialize unloads a server whatever it says.
  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(kServerClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  factory->LockServer(TRUE);
  CoFreeUnusedLibraries();
  EXPECT_TRUE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  CoUninitialize();
  EXPECT_FALSE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
}

TEST_F(InprocServer, OneThatIsNotApartmentThreadedIsUnloadedAfterADelay) {
  comtest::RegisterInprocServer(kServerClsid, QZ_TEST_SERVER_PATH, "Both");
  comtest::IAdder* adder = nullptr;
  ASSERT_EQ(CreateAdder(&adder), S_OK);
  adder->Release();
  CoFreeUnusedLibraries();  // the default delay has not passed
  EXPECT_TRUE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_FALSE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
}

TEST_F(InprocServer, FailuresToFindOrLoadTheServerHaveTheirOwnResults) {
  // {5B2E8F40-1A6C-4D7B-8E9F-0A1B2C3D4E01}, 02
  constexpr CLSID kMissingFile = {0x5B2E8F40, 0x1A6C, 0x4D7B, {0x8E, 0x9F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x01}};
  constexpr CLSID kNoExport = {0x5B2E8F40, 0x1A6C, 0x4D7B, {0x8E, 0x9F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x02}};
  comtest::RegisterInprocServer(kMissingFile, "C:\\nowhere\\missing.dll", "Apartment");
  comtest::RegisterInprocServer(kNoExport, QZ_NO_EXPORT_SERVER_PATH, "Apartment");
  IUnknown* object = nullptr;
  auto create = [&](REFCLSID clsid, IUnknown* outer, DWORD context) {
    return CoCreateInstance(clsid, outer, context, IID_IUnknown, reinterpret_cast<void**>(&object));
  };
  EXPECT_EQ(create(kMissingFile, nullptr, CLSCTX_INPROC_SERVER), CO_E_DLLNOTFOUND);
  // A path too long for the first read of the value is read again whole.
  comtest::RegisterInprocServer(kMissingFile, "C:\\nowhere\\" + std::string(600, 'x') + ".dll", "Apartment");
  EXPECT_EQ(create(kMissingFile, nullptr, CLSCTX_INPROC_SERVER), CO_E_DLLNOTFOUND);
  EXPECT_EQ(create(kNoExport, nullptr, CLSCTX_INPROC_SERVER), CO_E_ERRORINDLL);
  EXPECT_FALSE(IsModuleLoaded(QZ_NO_EXPORT_SERVER_PATH));
  EXPECT_EQ(create(kServerClsid, nullptr, CLSCTX_LOCAL_SERVER), REGDB_E_CLASSNOTREG);
  // The factory decides on aggregation; the outer object is never called.
  EXPECT_EQ(create(kServerClsid, reinterpret_cast<IUnknown*>(&object), CLSCTX_INPROC_SERVER), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
