// The library's resource script read by both resource compilers: mingw-w64's
// windres, which the Windows build uses, and qzrc, which the Linux build
// uses. This program embeds qzrc's output of the script and reads windres's
// output of the same script as a .res file; every resource in the .res must
// be found here under the same type, name and language, with the same bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// One resource of a .res file: the header's type and name (an ordinal, or
// the name in upper case), language and data.
struct CompiledResource {
  std::uint16_t typeId = 0;
  std::string typeName;
  std::uint16_t nameId = 0;
  std::string name;
  std::uint16_t language = 0;
  std::string data;
};

// The fixed part of a .res entry's header after its type and name:
// DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
constexpr std::size_t kHeaderTailSize = 16;
constexpr std::size_t kLanguageOffsetInTail = 6;
constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uint16_t kDialogType = 5;  // RT_DIALOG

std::size_t AlignToDword(std::size_t offset) { return (offset + 3) & ~static_cast<std::size_t>(3); }

// Reads a .res file (the Win32 form: a sequence of header and data, each
// DWORD-aligned, after an empty first entry). Fails the test on a file cut
// short.
class ResReader {
 public:
  explicit ResReader(std::string bytes) : bytes_(std::move(bytes)) {}

  std::vector<CompiledResource> All() {
    std::vector<CompiledResource> resources;
    std::size_t entry = 0;
    while (entry + 8 <= bytes_.size()) {
      const std::uint32_t dataSize = Dword(entry);
      const std::uint32_t headerSize = Dword(entry + 4);
      if (entry + headerSize + dataSize > bytes_.size() || headerSize < 8 + kHeaderTailSize) {
        ADD_FAILURE() << "entry at " << entry << " runs past the end of the file";
        break;
      }
      CompiledResource resource;
      std::size_t at = entry + 8;
      at = NameOrOrdinal(at, &resource.typeId, &resource.typeName);
      at = NameOrOrdinal(at, &resource.nameId, &resource.name);
      at = AlignToDword(at);
      resource.language = Word(at + kLanguageOffsetInTail);
      resource.data = bytes_.substr(entry + headerSize, dataSize);
      // The first entry is empty: it only marks the file as 32-bit.
      if (resource.typeId != 0 || !resource.typeName.empty()) resources.push_back(std::move(resource));
      entry = AlignToDword(entry + headerSize + dataSize);
    }
    return resources;
  }

 private:
  std::uint16_t Word(std::size_t at) const {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[at]) |
                                      static_cast<unsigned char>(bytes_[at + 1]) << 8);
  }
  std::uint32_t Dword(std::size_t at) const { return Word(at) | static_cast<std::uint32_t>(Word(at + 2)) << 16; }

  // An ordinal (0xFFFF, then the number) or a null-terminated UTF-16 name,
  // kept as ASCII; returns the offset after it.
  std::size_t NameOrOrdinal(std::size_t at, std::uint16_t* id, std::string* name) const {
    if (Word(at) == kOrdinalMark) {
      *id = Word(at + 2);
      return at + 4;
    }
    for (; Word(at) != 0; at += 2) *name += static_cast<char>(Word(at));
    return at + 2;
  }

  std::string bytes_;
};

// A DIALOG template as the Windows resource compiler writes it, made from
// windres's. The two differ in one way: a predefined control class that a
// CONTROL statement names ("Static") is written by the Windows compiler as
// the class's ordinal, by windres as the name in capitals. Windows' dialog
// manager takes either.
class DialogInWindowsForm {
 public:
  explicit DialogInWindowsForm(const std::string& windres) : in_(windres) {}

  std::string Convert() {
    const std::uint32_t style = Dword();
    Copy(4 + 4);  // the extended style
    const std::uint16_t items = Word();
    Copy(2);
    Copy(4 * 2);  // x, y, cx, cy
    CopyNameOrOrdinal();  // menu
    CopyNameOrOrdinal();  // class
    CopyText();           // caption
    if (style & kSetFont) {
      Copy(2);
      CopyText();
    }
    for (std::uint16_t i = 0; i < items; ++i) Item();
    return out_;
  }

 private:
  static constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT

  void Item() {
    at_ = AlignToDword(at_);
    while (out_.size() % 4 != 0) out_ += '\0';
    Copy(4 + 4 + 4 * 2 + 2);  // style, extended style, x, y, cx, cy, id
    Class();
    CopyNameOrOrdinal();  // text
    const std::uint16_t extra = Word();
    Copy(2 + extra);
  }

  void Class() {
    if (Word() == kOrdinalMark) return Copy(4);
    std::string name;
    const std::size_t start = at_;
    for (std::size_t i = at_; Word(i) != 0; i += 2) name += static_cast<char>(Word(i));
    const struct {
      const char* name;
      std::uint16_t ordinal;
    } predefined[] = {{"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84},
                      {"COMBOBOX", 0x85}};
    for (const auto& known : predefined) {
      if (name == known.name) {
        at_ = start + 2 * name.size() + 2;
        out_ += "\xFF\xFF";
        out_ += static_cast<char>(known.ordinal);
        out_ += '\0';
        return;
      }
    }
    CopyText();
  }

  std::uint16_t Word(std::size_t at) const {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(in_.at(at)) |
                                      static_cast<unsigned char>(in_.at(at + 1)) << 8);
  }
  std::uint16_t Word() const { return Word(at_); }
  std::uint32_t Dword() const { return Word(at_) | static_cast<std::uint32_t>(Word(at_ + 2)) << 16; }
  void Copy(std::size_t size) {
    out_ += in_.substr(at_, size);
    at_ += size;
  }
  void CopyText() {
    std::size_t end = at_;
    while (Word(end) != 0) end += 2;
    Copy(end + 2 - at_);
  }
  void CopyNameOrOrdinal() {
    if (Word() == kOrdinalMark) return Copy(4);
    CopyText();
  }

  const std::string& in_;
  std::size_t at_ = 0;
  std::string out_;
};

std::string ReadBytes(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The bytes qzrc gave the resource, from this program's own module.
std::string QzrcResource(const CompiledResource& resource) {
  HMODULE module = GetModuleHandleA(nullptr);
  LPCSTR type = resource.typeName.empty() ? MAKEINTRESOURCEA(resource.typeId) : resource.typeName.c_str();
  LPCSTR name = resource.name.empty() ? MAKEINTRESOURCEA(resource.nameId) : resource.name.c_str();
  HRSRC found = FindResourceExA(module, type, name, resource.language);
  if (found == nullptr) return "<missing>";
  return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
}

std::string Describe(const CompiledResource& resource) {
  std::string text = "type " + (resource.typeName.empty() ? std::to_string(resource.typeId) : resource.typeName);
  text += ", name " + (resource.name.empty() ? std::to_string(resource.nameId) : resource.name);
  return text + ", language " + std::to_string(resource.language);
}

TEST(ResourceCompilers, WindresAndQzrcGiveEveryResourceTheSameBytes) {
  const std::vector<CompiledResource> resources = ResReader(ReadBytes(QZ_WINDRES_OUTPUT)).All();
  // The script's resources: the type library, the registry script, two
  // dialogs, a dialog initialisation, a string block, the manifest, the
  // version block and seven documents.
  ASSERT_EQ(15u, resources.size());
  for (const CompiledResource& resource : resources) {
    SCOPED_TRACE(Describe(resource));
    const std::string qzrc = QzrcResource(resource);
    ASSERT_NE("<missing>", qzrc) << "qzrc has no such resource";
    const std::string windres =
        resource.typeId == kDialogType ? DialogInWindowsForm(resource.data).Convert() : resource.data;
    EXPECT_EQ(windres.size(), qzrc.size());
    EXPECT_TRUE(windres == qzrc) << "the bytes differ";
  }
}

}  // namespace
