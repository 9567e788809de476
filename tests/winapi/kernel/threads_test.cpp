// Critical sections and interlocked counters between threads.
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(CriticalSection, ExcludesOtherThreadsAndNestsForItsOwner) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section)) << "the owner may enter again";
  EXPECT_EQ(section.RecursionCount, 2);
  bool otherGotIn = true;
  std::thread([&] { otherGotIn = TryEnterCriticalSection(&section) != FALSE; }).join();
  EXPECT_FALSE(otherGotIn);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  EXPECT_EQ(section.OwningThread, nullptr);

  long counter = 0;  // guarded by the section
  LONG atomicCounter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        EnterCriticalSection(&section);
        ++counter;
        LeaveCriticalSection(&section);
        InterlockedIncrement(&atomicCounter);
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
  EXPECT_EQ(atomicCounter, 40000);
  EXPECT_EQ(InterlockedDecrement(&atomicCounter), 39999);
  DeleteCriticalSection(&section);

  EnterCriticalSection(nullptr);  // no crash
  LeaveCriticalSection(nullptr);
}

}  // namespace
