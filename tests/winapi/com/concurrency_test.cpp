// The class-object table and the server list are shared by all threads.
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <objbase.h>

#include "com_test_support.h"
#include "test_server.h"

namespace {

// {2F6B1A90-4C3D-4E2F-8A1B-9C0D1E2F3A01}
constexpr CLSID kSharedClsid = {0x2F6B1A90, 0x4C3D, 0x4E2F, {0x8A, 0x1B, 0x9C, 0x0D, 0x1E, 0x2F, 0x3A, 0x01}};

HRESULT CreateAdder(comtest::IAdder** adder) {
  return CoCreateInstance(comtest::kServerClsid, nullptr, CLSCTX_INPROC_SERVER, comtest::kAdderIid,
                          reinterpret_cast<void**>(adder));
}

// Each thread loads the server at the same moment, registers, activates and
// revokes, and asks for unused servers to be freed; the objects each thread
// keeps hold the server, which only goes once they are released.
TEST(ComConcurrency, ThreadsShareTheClassTableAndTheServers) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  comtest::RegisterInprocServer(comtest::kServerClsid, QZ_TEST_SERVER_PATH, "Apartment");
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  comtest::CountingFactory factory;
  std::vector<comtest::IAdder*> kept(kThreads, nullptr);
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      auto check = [&](bool ok) { failures[t] += ok ? 0 : 1; };
      check(CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_OK);
      check(CreateAdder(&kept[t]) == S_OK);
      for (int round = 0; round < kRounds; ++round) {
        DWORD cookie = 0;
        check(CoRegisterClassObject(kSharedClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie) ==
              S_OK);
        IUnknown* object = nullptr;
        check(CoCreateInstance(kSharedClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)) == S_OK);
        if (object != nullptr) object->Release();
        check(CoRevokeClassObject(cookie) == S_OK);

        comtest::IAdder* adder = nullptr;
        check(CreateAdder(&adder) == S_OK);
        LONG sum = 0;
        check(adder != nullptr && adder->Add(round, 1, &sum) == S_OK && sum == round + 1);
        if (adder != nullptr) adder->Release();
        CoFreeUnusedLibraries();
      }
      CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_EQ(factory.refs, 1u);

  EXPECT_TRUE(comtest::IsModuleLoaded(QZ_TEST_SERVER_PATH));
  for (comtest::IAdder* adder : kept) {
    if (adder != nullptr) adder->Release();
  }
  CoFreeUnusedLibraries();
  EXPECT_FALSE(comtest::IsModuleLoaded(QZ_TEST_SERVER_PATH));
  CoUninitialize();
}

}  // namespace
