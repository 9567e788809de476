// Reading compiled resources back: the bytes the loader gives for a
// resource, and a cursor over them that reads the little-endian fields of
// the Windows structures and checks their alignment.
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace rctest {

// The bytes of the resource in this program's module, or "<missing>".
inline std::string ResourceBytes(LPCSTR type, int id, WORD language = 0) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = language == 0 ? FindResourceA(module, MAKEINTRESOURCEA(id), type)
                              : FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
  if (found == nullptr) return "<missing>";
  const void* bytes = LockResource(LoadResource(module, found));
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

class Cursor {
 public:
  explicit Cursor(std::string bytes) : bytes_(std::move(bytes)) {}

  std::uint8_t Byte() {
    if (pos_ >= bytes_.size()) {
      ADD_FAILURE() << "read past the end at offset " << pos_;
      return 0;
    }
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }
  std::uint16_t Word() {
    std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }
  std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
  std::uint32_t Dword() {
    std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  // A terminated UTF-16 string.
  std::u16string Text() {
    std::u16string text;
    for (std::uint16_t unit = Word(); unit != 0 && !AtEnd(); unit = Word()) text += static_cast<char16_t>(unit);
    return text;
  }
  // `count` UTF-16 units without terminator.
  std::u16string Units(std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) text += static_cast<char16_t>(Word());
    return text;
  }
  // Skips zero padding to the next DWORD boundary, which must be zeros.
  void AlignToDword() {
    while (pos_ % 4 != 0) EXPECT_EQ(Byte(), 0) << "padding at " << pos_ - 1;
  }
  std::size_t offset() const { return pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }

 private:
  std::string bytes_;
  std::size_t pos_ = 0;
};

}  // namespace rctest
