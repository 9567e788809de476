// In-process servers found through HKCR\CLSID\{clsid}\InprocServer32:
// loading, activation, failures, and unloading through DllCanUnloadNow.
#include <gtest/gtest.h>
#include <objbase.h>

#include "com_test_support.h"
#include "test_server.h"

namespace {

using comtest::ComTest;
using comtest::IsModuleLoaded;
using comtest::kServerClsid;

// {5B2E8F40-1A6C-4D7B-8E9F-0A1B2C3D4E01} .. 03
constexpr CLSID kMissingFileClsid = {0x5B2E8F40, 0x1A6C, 0x4D7B, {0x8E, 0x9F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x01}};
constexpr CLSID kNoExportClsid = {0x5B2E8F40, 0x1A6C, 0x4D7B, {0x8E, 0x9F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x02}};
constexpr CLSID kNoServerKeyClsid = {0x5B2E8F40, 0x1A6C, 0x4D7B, {0x8E, 0x9F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x03}};

class InprocServer : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    comtest::RegisterInprocServer(kServerClsid, QZ_TEST_SERVER_PATH, "Apartment");
  }
};

HRESULT CreateAdder(comtest::IAdder** adder) {
  return CoCreateInstance(kServerClsid, nullptr, CLSCTX_INPROC_SERVER, comtest::kAdderIid,
                          reinterpret_cast<void**>(adder));
}

TEST_F(InprocServer, IsLoadedOnActivationAndUnloadedWhenItCanBe) {
  ASSERT_FALSE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  comtest::IAdder* adder = nullptr;
  ASSERT_EQ(CreateAdder(&adder), S_OK);
  EXPECT_TRUE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  LONG sum = 0;
  EXPECT_EQ(adder->Add(2, 3, &sum), S_OK);
  EXPECT_EQ(sum, 5);

  CoFreeUnusedLibraries();  // an object is alive: DllCanUnloadNow says S_FALSE
  EXPECT_TRUE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
  adder->Release();
  CoFreeUnusedLibraries();
  EXPECT_FALSE(IsModuleLoaded(QZ_TEST_SERVER_PATH));

  // Loaded again on the next activation.
  ASSERT_EQ(CreateAdder(&adder), S_OK);
  adder->Release();
  EXPECT_TRUE(IsModuleLoaded(QZ_TEST_SERVER_PATH));
}

TEST_F(InprocServer, ALockedServerStaysUntilTheLastUninitialise) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(kServerClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  factory->LockServer(TRUE);
  factory->Release();
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

TEST_F(InprocServer, ItsFactoryDecidesOnAggregation) {
  comtest::IAdder* adder = nullptr;
  IUnknown* outer = reinterpret_cast<IUnknown*>(&adder);  // never called: refused first
  EXPECT_EQ(CoCreateInstance(kServerClsid, outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&adder)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(adder, nullptr);
}

TEST_F(InprocServer, FailuresToFindOrLoadTheServerHaveTheirOwnResults) {
  comtest::RegisterInprocServer(kMissingFileClsid, "C:\\nowhere\\missing.dll", "Apartment");
  comtest::RegisterInprocServer(kNoExportClsid, QZ_NO_EXPORT_SERVER_PATH, "Apartment");
  comtest::SetClassesRootString("CLSID\\{5B2E8F40-1A6C-4D7B-8E9F-0A1B2C3D4E03}", nullptr, "No server key");

  IUnknown* object = nullptr;
  auto create = [&](REFCLSID clsid) {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
  };
  EXPECT_EQ(create(kMissingFileClsid), CO_E_DLLNOTFOUND);
  EXPECT_EQ(create(kNoExportClsid), CO_E_ERRORINDLL);
  EXPECT_FALSE(IsModuleLoaded(QZ_NO_EXPORT_SERVER_PATH));
  EXPECT_EQ(create(kNoServerKeyClsid), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);

  // Only in-process servers are looked for.
  EXPECT_EQ(CoCreateInstance(kServerClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
}

}  // namespace
