// Little-endian binary resource data under construction, as the Windows
// structures lay it out: WORDs, DWORDs, UTF-16 strings and DWORD alignment.
#pragma once

#include <cstdint>
#include <string>

namespace qzrc {

class ByteBuffer {
 public:
  void Byte(std::uint8_t value) { bytes_ += static_cast<char>(value); }
  void Word(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value & 0xFF));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Dword(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value & 0xFFFF));
    Word(static_cast<std::uint16_t>(value >> 16));
  }
  // The UTF-16 units, then a 0 unit when `terminated`.
  void Text(const std::u16string& text, bool terminated = true) {
    for (char16_t unit : text) Word(unit);
    if (terminated) Word(0);
  }
  void Bytes(const std::string& bytes) { bytes_ += bytes; }
  // Zero bytes up to the next multiple of four from the start.
  void AlignToDword() {
    while (bytes_.size() % 4 != 0) Byte(0);
  }
  // Overwrites the WORD at `offset`, for lengths known only once the rest is written.
  void SetWord(std::size_t offset, std::uint16_t value) {
    bytes_[offset] = static_cast<char>(value & 0xFF);
    bytes_[offset + 1] = static_cast<char>(value >> 8);
  }

  std::size_t size() const { return bytes_.size(); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace qzrc
