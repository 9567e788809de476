// The process's table of kernel objects (open files, file searches). A
// HANDLE is a key into it: handles are never reused, and one that is not in
// the table, closed already or of another kind is refused, never followed.
#pragma once

#include <memory>

#include <winbase.h>

namespace qzwin::kernel {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

HANDLE InsertObject(std::shared_ptr<KernelObject> object);

// The object behind `handle` if it is a T; else null with ERROR_INVALID_HANDLE set.
std::shared_ptr<KernelObject> FindObject(HANDLE handle);
template <class T>
std::shared_ptr<T> FindObjectOf(HANDLE handle) {
  auto object = std::dynamic_pointer_cast<T>(FindObject(handle));
  if (object == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

// Takes a T out of the table; false with ERROR_INVALID_HANDLE when `handle`
// is no T. The object dies when its last user lets go of it.
bool RemoveObject(HANDLE handle, bool (*isKind)(const KernelObject&));
template <class T>
bool RemoveObjectOf(HANDLE handle) {
  return RemoveObject(handle, [](const KernelObject& object) { return dynamic_cast<const T*>(&object) != nullptr; });
}

}  // namespace qzwin::kernel
