// Global memory: fixed and moveable blocks, locking, growing, and handles
// that are not blocks.
#include <cstring>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(GlobalMemory, FixedBlocksAreTheirOwnAddress) {
  HGLOBAL block = GlobalAlloc(GPTR, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLock(block), block);
  EXPECT_EQ(GlobalSize(block), 16u);
  EXPECT_EQ(std::memcmp(block, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0) << "GMEM_ZEROINIT";
  EXPECT_TRUE(GlobalUnlock(block));

  // A fixed block grows only where it is, unless it may move.
  SetLastError(0);
  EXPECT_EQ(GlobalReAlloc(block, 1 << 20, 0), nullptr);
  EXPECT_EQ(GlobalSize(block), 16u);
  HGLOBAL moved = GlobalReAlloc(block, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(GlobalSize(moved), size_t{1} << 20);
  EXPECT_EQ(static_cast<char*>(moved)[(1 << 20) - 1], 0);
  EXPECT_EQ(GlobalFree(moved), nullptr);
}

TEST(GlobalMemory, MoveableBlocksKeepTheirHandleAndCountLocks) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_NE(GlobalLock(block), nullptr) << "even an empty block has an address";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), DWORD{NO_ERROR}) << "unlocked now";

  ASSERT_EQ(GlobalReAlloc(block, 5, GMEM_MOVEABLE), block);
  auto* data = static_cast<char*>(GlobalLock(block));
  std::memcpy(data, "abcde", 5);
  GlobalUnlock(block);
  ASSERT_EQ(GlobalReAlloc(block, 4096, GMEM_MOVEABLE | GMEM_ZEROINIT), block);
  data = static_cast<char*>(GlobalLock(block));
  EXPECT_EQ(std::memcmp(data, "abcde", 5), 0);
  EXPECT_EQ(data[4095], 0);
  EXPECT_NE(GlobalLock(block), nullptr);
  EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_LOCKED});
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, HandlesThatAreNoBlocksAreRefused) {
  int onStack = 0;
  HGLOBAL bogus = &onStack;
  SetLastError(0);
  EXPECT_EQ(GlobalSize(bogus), 0u);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_HANDLE});
  EXPECT_EQ(GlobalLock(bogus), nullptr);
  EXPECT_EQ(GlobalReAlloc(bogus, 8, GMEM_MOVEABLE), nullptr);
  EXPECT_EQ(GlobalFree(bogus), bogus) << "failure returns the handle";

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block) << "freed twice";
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

}  // namespace
