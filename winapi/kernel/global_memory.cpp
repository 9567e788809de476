// Global memory blocks. A fixed block's handle is its address; a moveable
// block's handle is a token that GlobalLock turns into the current address.
// Every live block is in one table, so that a stale or made-up handle is
// answered with ERROR_INVALID_HANDLE instead of touching memory.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <winbase.h>

namespace {

struct Block {
  void* data = nullptr;
  SIZE_T size = 0;
  bool moveable = false;
  LONG locks = 0;
};

struct BlockTable {
  std::mutex mutex;
  std::unordered_map<HGLOBAL, Block> blocks;
};

BlockTable& Table() {
  static BlockTable* table = new BlockTable();  // outlives every static destructor
  return *table;
}

// The block behind `handle`, or null with ERROR_INVALID_HANDLE set. Called
// under the table's lock.
Block* FindBlock(BlockTable& table, HGLOBAL handle) {
  auto found = table.blocks.find(handle);
  if (found != table.blocks.end()) return &found->second;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

// A moveable block's handle is odd, so it never equals the (aligned) address
// of a fixed block. Called under the table's lock.
HGLOBAL NewToken() {
  static ULONG_PTR next = 0;
  return reinterpret_cast<HGLOBAL>((++next << 4) | 0x1);
}

// Zero-sized blocks still get an address, so that GlobalLock never answers
// null for a live block.
void* Allocate(SIZE_T bytes, bool zero) {
  SIZE_T size = bytes == 0 ? 1 : bytes;
  return zero ? std::calloc(1, size) : std::malloc(size);
}

}  // namespace

EXTERN_C HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  Block block;
  block.moveable = (uFlags & GMEM_MOVEABLE) != 0;
  block.size = dwBytes;
  block.data = Allocate(dwBytes, (uFlags & GMEM_ZEROINIT) != 0);
  if (block.data == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  BlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  HGLOBAL handle = block.moveable ? NewToken() : static_cast<HGLOBAL>(block.data);
  table.blocks.emplace(handle, block);
  return handle;
}

EXTERN_C HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
  BlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  Block* found = FindBlock(table, hMem);
  if (found == nullptr) return nullptr;
  Block block = *found;
  if (uFlags & GMEM_MODIFY) return hMem;  // attribute changes only; none matter here

  // A fixed block, or a locked moveable one, may move only when asked to.
  bool mayMove = (uFlags & GMEM_MOVEABLE) != 0 || (block.moveable && block.locks == 0);
  if (!mayMove && dwBytes > block.size) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* data = block.data;
  if (dwBytes > block.size || (mayMove && dwBytes != block.size)) {
    data = std::realloc(block.data, dwBytes == 0 ? 1 : dwBytes);
    if (data == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  }
  if ((uFlags & GMEM_ZEROINIT) && dwBytes > block.size)
    std::memset(static_cast<char*>(data) + block.size, 0, dwBytes - block.size);
  block.data = data;
  block.size = dwBytes;

  HGLOBAL handle = block.moveable ? hMem : static_cast<HGLOBAL>(data);
  table.blocks.erase(hMem);
  table.blocks.emplace(handle, block);
  return handle;
}

EXTERN_C LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  BlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  Block* block = FindBlock(table, hMem);
  if (block == nullptr) return nullptr;
  if (block->moveable) ++block->locks;
  return block->data;
}

EXTERN_C BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  BlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  Block* block = FindBlock(table, hMem);
  if (block == nullptr) return FALSE;
  if (!block->moveable) return TRUE;
  if (block->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block->locks > 0) return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

EXTERN_C SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
  BlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  Block* block = FindBlock(table, hMem);
  return block != nullptr ? block->size : 0;
}

EXTERN_C HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  if (hMem == nullptr) return nullptr;
  BlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  Block* block = FindBlock(table, hMem);
  if (block == nullptr) return hMem;
  std::free(block->data);
  table.blocks.erase(hMem);
  return nullptr;
}
