// Dialog templates compiled from compiled.rc, read back field by field.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "compiled_ids.h"
#include "resource_reader.h"

namespace {

using rctest::Cursor;

// Where a template names a class, menu or text by number.
constexpr std::uint16_t kOrdinal = 0xFFFF;
constexpr std::uint16_t kStatic = 0x0082;
constexpr std::uint16_t kButton = 0x0080;
constexpr std::uint16_t kEdit = 0x0081;

struct Item {
  std::uint32_t style;
  std::int16_t x, y, cx, cy;
  std::uint16_t id;
  std::uint16_t classOrdinal;  // 0: named class
  std::u16string text;
};

// One DLGITEMTEMPLATE, starting on a DWORD boundary.
void ExpectItem(Cursor& in, const Item& expected, int index) {
  SCOPED_TRACE("item " + std::to_string(index));
  in.AlignToDword();
  EXPECT_EQ(in.Dword(), expected.style);
  EXPECT_EQ(in.Dword(), 0u) << "extended style";
  EXPECT_EQ(in.Short(), expected.x);
  EXPECT_EQ(in.Short(), expected.y);
  EXPECT_EQ(in.Short(), expected.cx);
  EXPECT_EQ(in.Short(), expected.cy);
  EXPECT_EQ(in.Word(), expected.id);
  if (expected.classOrdinal != 0) {
    EXPECT_EQ(in.Word(), kOrdinal);
    EXPECT_EQ(in.Word(), expected.classOrdinal);
  }
  EXPECT_EQ(in.Text(), expected.text);
  EXPECT_EQ(in.Word(), 0) << "creation data";
}

TEST(DialogTemplateTest, ClassicTemplateHoldsFrameFontAndEachControl) {
  Cursor in(rctest::ResourceBytes(RT_DIALOG, IDD_ERROR, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
  EXPECT_EQ(in.Dword(), 0x80C800C0u) << "WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME|DS_SETFONT";
  EXPECT_EQ(in.Dword(), 0u);
  EXPECT_EQ(in.Word(), 8) << "controls";
  EXPECT_EQ(in.Short(), 0);
  EXPECT_EQ(in.Short(), 0);
  EXPECT_EQ(in.Short(), 278);
  EXPECT_EQ(in.Short(), 138);
  EXPECT_EQ(in.Word(), 0) << "no menu";
  EXPECT_EQ(in.Word(), 0) << "standard dialog class";
  EXPECT_EQ(in.Text(), u"Error in schema cache");
  EXPECT_EQ(in.Word(), 8) << "point size";
  EXPECT_EQ(in.Text(), u"MS Sans Serif");

  const std::vector<Item> items = {
      {0x50020000, 19, 92, 36, 8, 0xFFFF, kStatic, u"x-schema:"},
      {0x50020000, 57, 92, 200, 8, IDC_URN, kStatic, u""},
      {0x50020000, 19, 72, 36, 8, 0xFFFF, kStatic, u"File Name:"},
      {0x50020000, 57, 72, 202, 8, IDC_FILENAME, kStatic, u""},
      {0x50000007, 6, 56, 261, 57, 0xFFFF, kButton, u"&QZSchema cache entry"},
      {0x50020001, 27, 12, 223, 34, 0xFFFF, kStatic, u"Say \"hi\"\tto\\all\n"},
      {0x50000007, 8, 7, 259, 46, 0xFFFF, kStatic, u""},
      {0x50010000, 107, 115, 62, 16, IDOK, kButton, u"&Ok"},
  };
  for (std::size_t i = 0; i < items.size(); ++i) ExpectItem(in, items[i], static_cast<int>(i + 1));
  EXPECT_TRUE(in.AtEnd()) << "nothing after the last control, not even padding";
}

TEST(DialogTemplateTest, NotClearsADefaultStyleAndUnknownClassesStayNamed) {
  Cursor in(rctest::ResourceBytes(RT_DIALOG, IDD_BROWSER));
  EXPECT_EQ(in.Dword(), 0x80C800C0u) << "CAPTION adds WS_CAPTION, FONT adds DS_SETFONT";
  in.Dword();
  EXPECT_EQ(in.Word(), 2);
  for (int i = 0; i < 4; ++i) in.Short();
  in.Word();
  in.Word();
  EXPECT_EQ(in.Text(), u"XML Schema error");
  in.Word();
  in.Text();
  ExpectItem(in, {0x50000001, 129, 7, 50, 14, IDOK, kButton, u"OK"}, 1);

  in.AlignToDword();
  EXPECT_EQ(in.Dword(), 0x50010000u) << "CONTROL: WS_CHILD|WS_VISIBLE and the style written";
  in.Dword();
  for (int i = 0; i < 4; ++i) in.Short();
  EXPECT_EQ(in.Word(), IDC_BROWSER);
  EXPECT_EQ(in.Text(), u"{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(in.Text(), u"");
  EXPECT_EQ(in.Word(), 0);
  EXPECT_TRUE(in.AtEnd());
}

TEST(DialogTemplateTest, ExtendedTemplateCarriesHelpIdsWeightAndDwordIds) {
  Cursor in(rctest::ResourceBytes(RT_DIALOG, IDD_EXTENDED));
  EXPECT_EQ(in.Word(), 1) << "version";
  EXPECT_EQ(in.Word(), 0xFFFF) << "signature";
  EXPECT_EQ(in.Dword(), 77u) << "help id";
  EXPECT_EQ(in.Dword(), 0x00010000u) << "WS_EX_CONTROLPARENT";
  EXPECT_EQ(in.Dword(), 0x40000040u) << "WS_CHILD|DS_SETFONT, no default popup style";
  EXPECT_EQ(in.Word(), 2);
  EXPECT_EQ(in.Short(), 10);
  EXPECT_EQ(in.Short(), -20);
  EXPECT_EQ(in.Short(), 100);
  EXPECT_EQ(in.Short(), 50);
  EXPECT_EQ(in.Word(), kOrdinal) << "menu by number";
  EXPECT_EQ(in.Word(), 5);
  EXPECT_EQ(in.Text(), u"MyClass");
  EXPECT_EQ(in.Text(), u"") << "no caption";
  EXPECT_EQ(in.Word(), 9);
  EXPECT_EQ(in.Word(), 700) << "weight";
  EXPECT_EQ(in.Byte(), 1) << "italic";
  EXPECT_EQ(in.Byte(), 0xEE) << "charset";
  EXPECT_EQ(in.Text(), u"Segoe UI");

  in.AlignToDword();
  EXPECT_EQ(in.Dword(), 99u) << "help id";
  EXPECT_EQ(in.Dword(), 0x00000200u) << "WS_EX_CLIENTEDGE";
  EXPECT_EQ(in.Dword(), 0x50810080u) << "EDITTEXT: WS_BORDER|WS_TABSTOP and ES_AUTOHSCROLL";
  EXPECT_EQ(in.Short(), 1);
  EXPECT_EQ(in.Short(), 2);
  EXPECT_EQ(in.Short(), 30);
  EXPECT_EQ(in.Short(), 12);
  EXPECT_EQ(in.Dword(), static_cast<std::uint32_t>(IDC_URN));
  EXPECT_EQ(in.Word(), kOrdinal);
  EXPECT_EQ(in.Word(), kEdit);
  EXPECT_EQ(in.Text(), u"") << "EDITTEXT has no text";
  EXPECT_EQ(in.Word(), 0);

  in.AlignToDword();
  in.Dword();
  in.Dword();
  EXPECT_EQ(in.Dword(), 0x50020002u) << "RTEXT";
  for (int i = 0; i < 4; ++i) in.Short();
  EXPECT_EQ(in.Dword(), 0xFFFFFFFFu) << "-1 as a DWORD id";
  in.Word();
  in.Word();
  EXPECT_EQ(in.Text(), u"\u00E9t\u00E9") << "narrow text in the script's code page";
  EXPECT_EQ(in.Word(), 0);
  EXPECT_TRUE(in.AtEnd());
}

TEST(DialogTemplateTest, DialogInitDataIsWrittenAsWordsAndBytes) {
  const std::string expected("\x4E\x04"    // control 1102
                             "\x76\x03"    // message
                             "\x06\x00\x00\x00"  // length as two WORDs
                             "ab" "cd\0\x01"
                             "\x00\x00",  // terminator
                             16);
  EXPECT_EQ(rctest::ResourceBytes(MAKEINTRESOURCEA(240), IDD_BROWSER), expected);
}

}  // namespace
