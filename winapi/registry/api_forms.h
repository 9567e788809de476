// What differs between the A and W forms of the registry calls. The registry
// keeps names and string data in UTF-16; the A form sees them in the system
// code page (UTF-8), and its sizes are those of the narrow text.
#pragma once

#include <windef.h>
#include <winerror.h>

#include <string>
#include <vector>

#include "memory_tree.h"

namespace qzwin::registry {

// A name argument in UTF-16, keeping a null pointer apart from "".
class NameArgument {
 public:
  explicit NameArgument(const char* narrow);
  explicit NameArgument(const char16_t* wide);
  const std::u16string* get() const { return present_ ? &text_ : nullptr; }
  const std::u16string& orEmpty() const { return text_; }

 private:
  std::u16string text_;
  bool present_ = false;
};

bool IsStringType(DWORD type);

template <typename Char>
struct CallForm;

template <>
struct CallForm<char> {
  static std::string Name(const std::u16string& name);
  // The data as the caller sees it, and the data to store from the caller's.
  static std::vector<BYTE> DataOut(const RegValue& value);
  static std::vector<BYTE> DataIn(DWORD type, const BYTE* data, DWORD size);
};

template <>
struct CallForm<char16_t> {
  static const std::u16string& Name(const std::u16string& name) { return name; }
  static const std::vector<BYTE>& DataOut(const RegValue& value) { return value.data; }
  static std::vector<BYTE> DataIn(DWORD type, const BYTE* data, DWORD size);
};

// Copies name and its terminator into buffer (capacity in characters, the
// terminator included) and sets *capacity to the length without it; when it
// does not fit, writes nothing and answers ERROR_MORE_DATA.
template <typename Char, typename Text>
LONG CopyName(const Text& name, Char* buffer, DWORD* capacity) {
  if (name.size() >= *capacity) return ERROR_MORE_DATA;
  for (size_t i = 0; i < name.size(); ++i) buffer[i] = static_cast<Char>(name[i]);
  buffer[name.size()] = Char();
  *capacity = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace qzwin::registry
