#include "kernel_objects.h"

#include <mutex>
#include <unordered_map>

namespace qzwin::kernel {
namespace {

struct ObjectTable {
  std::mutex mutex;
  std::unordered_map<ULONG_PTR, std::shared_ptr<KernelObject>> objects;
  ULONG_PTR next = 0x100;  // handles are multiples of 4, as on Windows
};

ObjectTable& Table() {
  static ObjectTable* table = new ObjectTable();  // outlives every static destructor
  return *table;
}

}  // namespace

HANDLE InsertObject(std::shared_ptr<KernelObject> object) {
  ObjectTable& table = Table();
  std::lock_guard guard(table.mutex);
  ULONG_PTR key = table.next;
  table.next += 4;
  table.objects.emplace(key, std::move(object));
  return reinterpret_cast<HANDLE>(key);
}

std::shared_ptr<KernelObject> FindObject(HANDLE handle) {
  ObjectTable& table = Table();
  std::lock_guard guard(table.mutex);
  auto found = table.objects.find(reinterpret_cast<ULONG_PTR>(handle));
  return found == table.objects.end() ? nullptr : found->second;
}

bool RemoveObject(HANDLE handle, bool (*isKind)(const KernelObject&)) {
  std::shared_ptr<KernelObject> removed;  // released after the lock
  {
    ObjectTable& table = Table();
    std::lock_guard guard(table.mutex);
    auto found = table.objects.find(reinterpret_cast<ULONG_PTR>(handle));
    if (found != table.objects.end() && isKind(*found->second)) {
      removed = std::move(found->second);
      table.objects.erase(found);
    }
  }
  if (removed == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return true;
}

}  // namespace qzwin::kernel
