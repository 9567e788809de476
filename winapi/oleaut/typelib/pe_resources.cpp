#include "pe_resources.h"

#include <cstdint>

namespace qzwin::typelib {
namespace {

constexpr std::size_t kNewHeaderPointer = 0x3C;
constexpr std::size_t kFileHeaderSize = 24;  // "PE\0\0" and the COFF header
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr char16_t kTypeLibName[] = u"TYPELIB";

class PeReader {
 public:
  PeReader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

  bool Find(WORD id, const BYTE** resource, std::size_t* resourceSize) {
    std::uint32_t header = 0;
    if (!Dword(kNewHeaderPointer, &header) || !Has(header, kFileHeaderSize)) return false;
    if (data_[header] != 'P' || data_[header + 1] != 'E' || data_[header + 2] != 0 || data_[header + 3] != 0) return false;
    std::uint16_t sectionCount = 0;
    std::uint16_t optionalSize = 0;
    std::uint16_t magic = 0;
    std::size_t optional = header + kFileHeaderSize;
    if (!Word(header + 6, &sectionCount) || !Word(header + 20, &optionalSize) || !Word(optional, &magic)) return false;
    std::size_t directories = 0;
    if (magic == kPe32Magic) {
      directories = optional + 96;
    } else if (magic == kPe32PlusMagic) {
      directories = optional + 112;
    } else {
      return false;
    }
    std::uint32_t resourceRva = 0;
    if (directories + (kResourceDirectoryIndex + 1) * 8 > optional + optionalSize) return false;
    if (!Dword(directories + kResourceDirectoryIndex * 8, &resourceRva) || resourceRva == 0) return false;
    sections_ = optional + optionalSize;
    sectionCount_ = sectionCount;
    if (!RvaToOffset(resourceRva, &root_)) return false;

    std::uint32_t typeEntry = 0;
    std::uint32_t nameEntry = 0;
    std::uint32_t languageEntry = 0;
    if (!FindEntry(0, [&](std::uint32_t name) { return IsTypeLibName(name); }, &typeEntry)) return false;
    if (!(typeEntry & kHighBit)) return false;
    if (!FindEntry(typeEntry & ~kHighBit, [&](std::uint32_t name) { return name == id; }, &nameEntry)) return false;
    if (!(nameEntry & kHighBit)) return false;
    if (!FindEntry(nameEntry & ~kHighBit, [](std::uint32_t) { return true; }, &languageEntry)) return false;
    if (languageEntry & kHighBit) return false;

    std::uint32_t dataRva = 0;
    std::uint32_t dataSize = 0;
    std::size_t dataEntry = root_ + languageEntry;
    if (!Dword(dataEntry, &dataRva) || !Dword(dataEntry + 4, &dataSize)) return false;
    std::size_t offset = 0;
    if (!RvaToOffset(dataRva, &offset) || !Has(offset, dataSize)) return false;
    *resource = data_ + offset;
    *resourceSize = dataSize;
    return true;
  }

 private:
  bool Has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
  bool Word(std::size_t offset, std::uint16_t* value) const {
    if (!Has(offset, 2)) return false;
    *value = static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
    return true;
  }
  bool Dword(std::size_t offset, std::uint32_t* value) const {
    if (!Has(offset, 4)) return false;
    *value = static_cast<std::uint32_t>(data_[offset]) | static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
             static_cast<std::uint32_t>(data_[offset + 2]) << 16 | static_cast<std::uint32_t>(data_[offset + 3]) << 24;
    return true;
  }

  bool RvaToOffset(std::uint32_t rva, std::size_t* offset) const {
    for (std::size_t i = 0; i < sectionCount_; ++i) {
      std::size_t section = sections_ + i * kSectionHeaderSize;
      std::uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0;
      if (!Dword(section + 8, &virtualSize) || !Dword(section + 12, &virtualAddress) ||
          !Dword(section + 16, &rawSize) || !Dword(section + 20, &rawPointer)) {
        return false;
      }
      if (rva >= virtualAddress && rva - virtualAddress < rawSize) {
        *offset = std::size_t{rawPointer} + (rva - virtualAddress);
        return Has(*offset, 0);
      }
    }
    return false;
  }

  // A named entry's name is a counted UTF-16 string at an offset from the root.
  bool IsTypeLibName(std::uint32_t name) const {
    if (!(name & kHighBit)) return false;
    std::size_t at = root_ + (name & ~kHighBit);
    std::uint16_t length = 0;
    constexpr std::size_t kLength = sizeof kTypeLibName / sizeof kTypeLibName[0] - 1;
    if (!Word(at, &length) || length != kLength) return false;
    for (std::size_t i = 0; i < kLength; ++i) {
      std::uint16_t c = 0;
      if (!Word(at + 2 + 2 * i, &c)) return false;
      if (c >= u'a' && c <= u'z') c = static_cast<std::uint16_t>(c - u'a' + u'A');
      if (c != kTypeLibName[i]) return false;
    }
    return true;
  }

  template <class Match>
  bool FindEntry(std::uint32_t directory, Match match, std::uint32_t* target) const {
    std::size_t at = root_ + directory;
    std::uint16_t named = 0, numbered = 0;
    if (!Word(at + 12, &named) || !Word(at + 14, &numbered)) return false;
    for (std::size_t i = 0; i < std::size_t{named} + numbered; ++i) {
      std::size_t entry = at + kDirectoryHeaderSize + i * kDirectoryEntrySize;
      std::uint32_t name = 0;
      if (!Dword(entry, &name) || !Dword(entry + 4, target)) return false;
      if (match(name)) return true;
    }
    return false;
  }

  const BYTE* data_;
  std::size_t size_;
  std::size_t sections_ = 0;
  std::size_t sectionCount_ = 0;
  std::size_t root_ = 0;
};

}  // namespace

bool LooksLikePeModule(const BYTE* data, std::size_t size) {
  return data != nullptr && size >= 2 && data[0] == 'M' && data[1] == 'Z';
}

bool FindPeTypeLibResource(const BYTE* data, std::size_t size, WORD id, const BYTE** resource,
                           std::size_t* resourceSize) {
  if (!LooksLikePeModule(data, size)) return false;
  return PeReader(data, size).Find(id, resource, resourceSize);
}

}  // namespace qzwin::typelib
