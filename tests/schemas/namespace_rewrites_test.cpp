// The in-place rewrites of a loaded file's text, on raw bytes.
#include <gtest/gtest.h>

#include <string>

#include "schemas/NamespaceRewrites.h"

namespace {

std::string Rewritten(std::string bytes) {
  auto* data = reinterpret_cast<unsigned char*>(bytes.data());
  ClearEmptyNamespaceDeclarations(data, bytes.size());
  StripSchemaDirectories(data, bytes.size());
  return bytes;
}

// UTF-16LE bytes of ASCII text.
std::string Wide(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

const std::string kBomLE = "\xFF\xFE";

TEST(ClearEmptyNamespaceDeclarations, BlanksEveryOccurrenceWhereverItStands) {
  const std::string text = "<a xmlns=\"\"><b qz:xmlns=\"\"/><!-- xmlns=\"\" --></a>";
  const std::string result = Rewritten(text);
  EXPECT_EQ("<a         ><b qz:        /><!--          --></a>", result);
  EXPECT_EQ(text.size(), result.size());
  // Case and quotes must match exactly.
  EXPECT_EQ("<a XMLNS=\"\" xmlns=''/>", Rewritten("<a XMLNS=\"\" xmlns=''/>"));
}

TEST(StripSchemaDirectories, KeepsOnlyTheFileName) {
  EXPECT_EQ("<r xmlns=\"x-schema:c.xml\"       />", Rewritten("<r xmlns=\"x-schema:D:\\a\\b\\c.xml\"/>"));
  // The whole example: a path declaration and an empty one on one element.
  EXPECT_EQ("<r xmlns=\"x-schema:Tavel-basic-datatypes.xml\"" + std::string(18, ' ') + " " + std::string(8, ' ') +
                "/>",
            Rewritten("<r xmlns=\"x-schema:C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\" xmlns=\"\"/>"));
}

TEST(StripSchemaDirectories, LeavesWhatIsNotAPathDeclaration) {
  for (const char* text : {
           "<r xmlns=\"x-schema:c.xml\"/>",            // no directory
           "<r xmlns=\"x-schema:#QZSchemas\"/>",       // inline schema
           "<r xmlns:qz=\"x-schema:C:\\d\\c.xml\"/>",  // prefixed
           "<r xmlns='x-schema:C:\\d\\c.xml'/>",       // single quotes
           "<r xmlns=\"X-SCHEMA:C:\\d\\c.xml\"/>",     // upper case
           "<r xmlns=\"x-schema:C:/d/c.xml\"/>",       // only backslashes separate
           "<r xmlns=\"x-schema:C:\\d\\c.xml",         // no closing quote
       }) {
    EXPECT_EQ(text, Rewritten(text)) << text;
  }
}

TEST(StripSchemaDirectories, RewritesRunsOfAtMost300Characters) {
  // "xmlns=\"x-schema:" + "D:\" + directory + "\c.xml\"" is 16 + 3 + n + 7.
  auto declaration = [](size_t run) {
    return "xmlns=\"x-schema:D:\\" + std::string(run - 26, 'd') + "\\c.xml\"";
  };
  const std::string at300 = "<r " + declaration(300) + "/>";
  const std::string at301 = "<r " + declaration(301) + "/>";
  EXPECT_EQ("<r xmlns=\"x-schema:c.xml\"" + std::string(300 - 22, ' ') + "/>", Rewritten(at300));
  EXPECT_EQ(at301, Rewritten(at301));
}

TEST(StripSchemaDirectories, SeesTheTextAsItsEarlierRewritesLeftIt) {
  // The first run ends at the quote inside the second declaration, so
  // rewriting it consumes the second one.
  EXPECT_EQ("<r xmlns=\"x-schema:xmlns=\"  x-schema:b\\c.xml\"/>",
            Rewritten("<r xmlns=\"x-schema:a\\xmlns=\"x-schema:b\\c.xml\"/>"));
  // Back to back, each is its own run.
  EXPECT_EQ("<r xmlns=\"x-schema:c.xml\"  xmlns=\"x-schema:e.xml\"  />",
            Rewritten("<r xmlns=\"x-schema:b\\c.xml\"xmlns=\"x-schema:d\\e.xml\"/>"));
}

TEST(NamespaceRewrites, StopAtTheEndOfTheText) {
  // Matches that end on the last byte.
  EXPECT_EQ("<a         ", Rewritten("<a xmlns=\"\""));
  EXPECT_EQ("<a xmlns=\"x-schema:c.xml\"  ", Rewritten("<a xmlns=\"x-schema:b\\c.xml\""));
  // Patterns cut by the end of the data or by a zero byte.
  EXPECT_EQ("<a xmlns=\"", Rewritten("<a xmlns=\""));
  const std::string zeroCut("<a xmlns=\"\0\" xmlns=\"\"", 21);
  EXPECT_EQ(zeroCut, Rewritten(zeroCut));
  // Nothing at all, and nothing that can hold a pattern.
  EXPECT_EQ("", Rewritten(""));
  EXPECT_EQ("<", Rewritten("<"));
}

TEST(NamespaceRewrites, WorkOnSixteenBitUnitsUnlessTheTextStartsWithLessThan) {
  const std::string wide = kBomLE + Wide("<r xmlns=\"x-schema:D:\\a\\b\\c.xml\" xmlns=\"\"/>");
  EXPECT_EQ(kBomLE + Wide("<r xmlns=\"x-schema:c.xml\"        " + std::string(8, ' ') + "/>"), Rewritten(wide));

  // A lone last byte is not part of the text; a match ending just before it is.
  const std::string odd = kBomLE + Wide("<r xmlns=\"\"") + "<";
  EXPECT_EQ(kBomLE + Wide("<r         ") + "<", Rewritten(odd));
  // A zero unit ends the text.
  const std::string cut = kBomLE + Wide("<r") + std::string(2, '\0') + Wide(" xmlns=\"\"/>");
  EXPECT_EQ(cut, Rewritten(cut));
  // A 16-bit unit only matches when its high byte is zero.
  std::string high = kBomLE + Wide("<r xmlns=\"\"/>");
  high[kBomLE.size() + 2 * 3 + 1] = 'x';
  EXPECT_EQ(high, Rewritten(high));

  // UTF-8 with a byte-order mark, or leading white space: read as 16-bit
  // units, in which no pattern can occur.
  for (const std::string& narrow : {std::string("\xEF\xBB\xBF<r xmlns=\"\" xmlns=\"x-schema:C:\\d\\c.xml\"/>"),
                                    std::string(" <r xmlns=\"\" xmlns=\"x-schema:C:\\d\\c.xml\"/>")}) {
    EXPECT_EQ(narrow, Rewritten(narrow));
  }
}

}  // namespace
