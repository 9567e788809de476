#include "support/narrow.h"

#include <windows.h>

namespace qztest {

std::string Narrow(const OLECHAR* text) {
  if (text == nullptr) return "";
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  narrow.pop_back();  // the terminator
  return narrow;
}

std::string Narrow(const _bstr_t& text) { return Narrow(static_cast<const OLECHAR*>(text)); }

}  // namespace qztest
