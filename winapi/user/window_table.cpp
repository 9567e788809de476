#include "window_table.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace qzwin::user {
namespace {

// Handles count up in steps of four from here, as Windows' do.
constexpr uintptr_t kFirstHandle = 0x10010;

std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<HWND, std::unique_ptr<Window>>& Table() {
  static auto* table = new std::unordered_map<HWND, std::unique_ptr<Window>>();  // outlives static destructors
  return *table;
}

uintptr_t nextHandle = kFirstHandle;

}  // namespace

HWND AddWindow(std::unique_ptr<Window> window) {
  std::lock_guard guard(TableLock());
  HWND handle = reinterpret_cast<HWND>(nextHandle);
  nextHandle += 4;
  window->handle = handle;
  Table()[handle] = std::move(window);
  return handle;
}

void RemoveWindow(HWND handle) {
  std::lock_guard guard(TableLock());
  Table().erase(handle);
}

bool WithWindow(HWND handle, const std::function<void(Window&)>& use) {
  std::lock_guard guard(TableLock());
  auto found = Table().find(handle);
  if (found == Table().end()) return false;
  use(*found->second);
  return true;
}

std::vector<HWND>& ActiveDialogs() {
  thread_local std::vector<HWND> dialogs;
  return dialogs;
}

int CopyText(const std::string& text, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  size_t length = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

}  // namespace qzwin::user
