// String tables, the version block, data written in the script and
// conditional blocks, as compiled from compiled.rc.
#include <string>

#include <gtest/gtest.h>

#include "compiled_ids.h"
#include "resource_reader.h"

namespace {

using rctest::Cursor;

constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kDanish = MAKELANGID(LANG_DANISH, SUBLANG_DANISH_DENMARK);

// String `id` of a string-table block: sixteen counted strings.
std::u16string StringOfBlock(const std::string& block, int index) {
  Cursor in(block);
  std::u16string text;
  for (int i = 0; i <= index; ++i) text = in.Units(in.Word());
  return text;
}

TEST(StringTableTest, StringsLandInBlocksOfSixteenNamedBlockPlusOne) {
  std::string block0 = rctest::ResourceBytes(RT_STRING, 1, kEnglish);
  EXPECT_EQ(StringOfBlock(block0, 15), u"end of block 0");
  EXPECT_EQ(block0.size(), 15 * 2 + 2 + 14 * 2u) << "fifteen empty strings, then the last one";

  std::string block1 = rctest::ResourceBytes(RT_STRING, 2, kEnglish);
  EXPECT_EQ(StringOfBlock(block1, 0), u"start of block 1 \u263A");

  std::string block6 = rctest::ResourceBytes(RT_STRING, IDS_NAME / 16 + 1, kEnglish);
  EXPECT_EQ(StringOfBlock(block6, IDS_NAME % 16), u"qzschemas");
  EXPECT_EQ(StringOfBlock(block6, 3), u"");
  EXPECT_EQ(StringOfBlock(rctest::ResourceBytes(RT_STRING, IDS_NAME / 16 + 1, kDanish), IDS_NAME % 16),
            u"dansk \u00E6");
  EXPECT_EQ(rctest::ResourceBytes(RT_STRING, 3, kEnglish), "<missing>") << "blocks without strings are left out";
}

// A version block's header; checks its key and that wLength stays inside.
struct Block {
  std::size_t start;
  std::uint16_t length;
  std::uint16_t valueLength;
  std::uint16_t type;
  std::u16string key;
};

Block ReadBlock(Cursor& in) {
  in.AlignToDword();
  Block block{in.offset(), in.Word(), in.Word(), in.Word(), {}};
  block.key = in.Text();
  in.AlignToDword();
  return block;
}

TEST(VersionInfoTest, FixedInfoAndStringAndVarChildren) {
  std::string bytes = rctest::ResourceBytes(RT_VERSION, 1, kEnglish);
  Cursor in(bytes);
  Block root = ReadBlock(in);
  EXPECT_EQ(root.key, u"VS_VERSION_INFO");
  EXPECT_EQ(root.length, bytes.size());
  EXPECT_EQ(root.valueLength, 52);
  EXPECT_EQ(root.type, 0);
  EXPECT_EQ(in.Dword(), 0xFEEF04BDu);
  EXPECT_EQ(in.Dword(), 0x00010000u);
  EXPECT_EQ(in.Dword(), 0x00160000u) << "file version 22.0";
  EXPECT_EQ(in.Dword(), 0x000001FBu) << "file version 0.507";
  EXPECT_EQ(in.Dword(), 0x00160000u);
  EXPECT_EQ(in.Dword(), 0x000001FBu);
  EXPECT_EQ(in.Dword(), 0x3Fu) << "flags mask";
  EXPECT_EQ(in.Dword(), 0u) << "the #else branch: no debug flag";
  EXPECT_EQ(in.Dword(), 4u);
  EXPECT_EQ(in.Dword(), 2u);
  EXPECT_EQ(in.Dword(), 0u);
  EXPECT_EQ(in.Dword(), 0u);
  EXPECT_EQ(in.Dword(), 0u);

  Block stringInfo = ReadBlock(in);
  EXPECT_EQ(stringInfo.key, u"StringFileInfo");
  EXPECT_EQ(stringInfo.valueLength, 0);
  Block table = ReadBlock(in);
  EXPECT_EQ(table.key, u"040904B0");
  const std::u16string names[] = {u"FileDescription", u"FileVersion", u"InternalName"};
  const std::u16string values[] = {u"qzschemas Module", u"22, 0, 0, 507", u"qzschemas"};
  std::size_t end = 0;
  for (int i = 0; i < 3; ++i) {
    Block value = ReadBlock(in);
    EXPECT_EQ(value.key, names[i]);
    EXPECT_EQ(value.type, 1) << "text";
    EXPECT_EQ(value.valueLength, values[i].size() + 1) << "characters with the terminator";
    EXPECT_EQ(in.Text(), values[i]);
    end = in.offset();
    EXPECT_EQ(value.start + value.length, end) << "a value's length ends at its terminator";
  }
  EXPECT_EQ(table.start + table.length, end);
  EXPECT_EQ(stringInfo.start + stringInfo.length, end);

  Block varInfo = ReadBlock(in);
  EXPECT_EQ(varInfo.key, u"VarFileInfo");
  Block translation = ReadBlock(in);
  EXPECT_EQ(translation.key, u"Translation");
  EXPECT_EQ(translation.type, 0) << "binary";
  EXPECT_EQ(translation.valueLength, 4) << "bytes";
  EXPECT_EQ(in.Word(), 0x0409);
  EXPECT_EQ(in.Word(), 1200);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(varInfo.start + varInfo.length, bytes.size());
}

TEST(ScriptDataTest, InlineDataHasWordsDwordsAndUnterminatedStrings) {
  const std::string expected("\x01\x00" "\xFF\xFF" "\x78\x56\x34\x12" "A\0\0\0" "b\x7F", 14);
  EXPECT_EQ(rctest::ResourceBytes(RT_RCDATA, IDR_INLINE), expected);
}

TEST(ScriptDataTest, OnlyTheTakenBranchOfConditionalsIsCompiled) {
  EXPECT_EQ(rctest::ResourceBytes(RT_RCDATA, IDR_CONDITIONAL), "two");
  EXPECT_EQ(rctest::ResourceBytes("TEXTINCLUDE", 1), "<missing>") << "editor-only block";
}

}  // namespace
