// The class-object table and the server list are shared by all threads.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <objbase.h>

#include "com_test_support.h"
#include "test_server.h"

namespace {

// {2F6B1A90-4C3D-4E2F-8A1B-9C0D1E2F3A01}
constexpr CLSID kSharedClsid = {0x2F6B1A90, 0x4C3D, 0x4E2F, {0x8A, 0x1B, 0x9C, 0x0D, 0x1E, 0x2F, 0x3A, 0x01}};

// All threads load the server at once, then register, activate, revoke and
// free unused servers in turn; the object each keeps holds the server.
TEST(ComConcurrency, ThreadsShareTheClassTableAndTheServers) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  comtest::RegisterInprocServer(comtest::kServerClsid, QZ_TEST_SERVER_PATH, "Apartment");
  comtest::CountingFactory factory;
  std::atomic<int> failures{0};
  auto check = [&](HRESULT hr) { failures += hr == S_OK ? 0 : 1; };
  std::vector<comtest::IAdder*> kept(4, nullptr);
  std::vector<std::thread> threads;
  for (comtest::IAdder*& mine : kept) {
    threads.emplace_back([&] {
      check(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
      check(comtest::CreateAdder(&mine));
      for (int round = 0; round < 200; ++round) {
        DWORD cookie = 0;
        IUnknown* object = nullptr;
        check(CoRegisterClassObject(kSharedClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
        check(CoCreateInstance(kSharedClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)));
        object->Release();
        check(CoRevokeClassObject(cookie));
        comtest::IAdder* adder = nullptr;
        check(comtest::CreateAdder(&adder));
        adder->Release();
        CoFreeUnusedLibraries();
      }
      CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_TRUE(comtest::IsModuleLoaded(QZ_TEST_SERVER_PATH));
  for (comtest::IAdder* adder : kept) adder->Release();
  CoFreeUnusedLibraries();
  EXPECT_FALSE(comtest::IsModuleLoaded(QZ_TEST_SERVER_PATH));
  CoUninitialize();
}

}  // namespace
