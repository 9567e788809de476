// The schema cache error dialog's template as the module carries it,
// compared byte for byte with a DLGTEMPLATE written out here field by field.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Little-endian fields of a classic dialog template, WORD-sized texts.
class TemplateBytes {
 public:
  TemplateBytes& Dword(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value));
    return Word(static_cast<std::uint16_t>(value >> 16));
  }
  TemplateBytes& Word(std::uint16_t value) {
    bytes_ += static_cast<char>(value & 0xFF);
    bytes_ += static_cast<char>(value >> 8);
    return *this;
  }
  TemplateBytes& Text(const char16_t* text) {
    for (; *text != 0; ++text) Word(*text);
    return Word(0);
  }
  TemplateBytes& AlignToDword() {
    while (bytes_.size() % 4 != 0) bytes_ += '\0';
    return *this;
  }
  // One DLGITEMTEMPLATE: style, no extended style, the rectangle, the id,
  // a predefined class by its ordinal, the text, no creation data.
  TemplateBytes& Item(std::uint32_t style, std::int16_t x, std::int16_t y, std::int16_t cx, std::int16_t cy,
                      std::uint16_t id, std::uint16_t classOrdinal, const char16_t* text) {
    AlignToDword().Dword(style).Dword(0);
    for (std::int16_t value : {x, y, cx, cy}) Word(static_cast<std::uint16_t>(value));
    return Word(id).Word(0xFFFF).Word(classOrdinal).Text(text).Word(0);
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kStaticClass = 0x0082;
constexpr std::uint16_t kNoId = 0xFFFF;

std::string ExpectedErrorDialog() {
  TemplateBytes t;
  t.Dword(0x80C800C0).Dword(0);  // WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME|DS_SETFONT
  t.Word(8);                     // controls
  t.Word(0).Word(0).Word(278).Word(138);
  t.Word(0).Word(0);  // no menu, the standard dialog class
  t.Text(u"Error in schema cache");
  t.Word(8).Text(u"MS Sans Serif");
  t.Item(0x50020000, 19, 92, 36, 8, kNoId, kStaticClass, u"x-schema:");
  t.Item(0x50020000, 57, 92, 200, 8, 203, kStaticClass, u"");
  t.Item(0x50020000, 19, 72, 36, 8, kNoId, kStaticClass, u"File Name:");
  t.Item(0x50020000, 57, 72, 202, 8, 204, kStaticClass, u"");
  t.Item(0x50000007, 6, 56, 261, 57, kNoId, kButtonClass, u"&QZSchema cache entry");
  t.Item(0x50020001, 27, 12, 223, 34, kNoId, kStaticClass,
         u"An error in the schema cache has occurred. Be aware of the fact that even though the XML-DOM "
         u"validates you schema, there may be some minor errors that the DOM doesn't take care of. Or the file "
         u"may be missing even though registered in the cache");
  t.Item(0x50000007, 8, 7, 259, 46, kNoId, kStaticClass, u"");
  t.Item(0x50010000, 107, 115, 62, 16, 1, kButtonClass, u"&Ok");
  return t.bytes();
}

TEST(ErrorDialogTemplate, IsDialog210InUsEnglishByteForByte) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(210), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(bytes, nullptr);
  const std::string actual(bytes, SizeofResource(module, found));

  const std::string expected = ExpectedErrorDialog();
  std::size_t firstDifference = 0;
  while (firstDifference < actual.size() && firstDifference < expected.size() &&
         actual[firstDifference] == expected[firstDifference]) {
    ++firstDifference;
  }
  EXPECT_EQ(actual.size(), expected.size());
  EXPECT_TRUE(actual == expected) << "first difference at byte " << firstDifference;
}

}  // namespace
