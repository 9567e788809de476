// The schema cache help page: a self-contained HTML page (upper-case tags,
// CR LF, nothing it loads from elsewhere) that shows, in order, the heading,
// the explanation, a coloured example of the cache file and the closing lines.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "documents.h"

namespace {

using namespace qzdocs;

constexpr char kFileName[] = "qzschemaerr.htm";

// What a reader sees of an element: its text with line breaks and
// non-breaking spaces as blanks, and runs of blanks as one.
void AppendText(const xmlNode* node, std::string* raw) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
      *raw += reinterpret_cast<const char*>(child->content);
    }
    if (child->type == XML_ELEMENT_NODE && LocalName(child) == "br") *raw += ' ';
    if (child->type == XML_ELEMENT_NODE) AppendText(child, raw);
  }
}

std::string VisibleText(const xmlNode* node) {
  std::string raw;
  AppendText(node, &raw);
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    bool blank = std::isspace(static_cast<unsigned char>(raw[i])) != 0;
    if (raw.compare(i, 2, "\xC2\xA0") == 0) {
      blank = true;
      ++i;
    }
    if (!blank) {
      text += raw[i];
    } else if (!text.empty() && text.back() != ' ') {
      text += ' ';
    }
  }
  if (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void CollectElements(const xmlNode* node, const char* name, std::vector<const xmlNode*>* found) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (name == nullptr || LocalName(child) == name) found->push_back(child);
    CollectElements(child, name, found);
  }
}

std::vector<const xmlNode*> Descendants(const xmlNode* node, const char* name = nullptr) {
  std::vector<const xmlNode*> found;
  CollectElements(node, name, &found);
  return found;
}

class HelpPage : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadDocumentFile(kFileName);
    doc_ = ParseHtml(bytes_);
    ASSERT_NE(doc_, nullptr);
    for (const xmlNode* child : ChildElements(xmlDocGetRootElement(doc_.get()))) {
      if (LocalName(child) == "head") head_ = child;
      if (LocalName(child) == "body") body_ = child;
    }
    ASSERT_NE(head_, nullptr);
    ASSERT_NE(body_, nullptr);
  }

  // The lines of the example: the innermost DIV elements, in order.
  std::vector<const xmlNode*> ExampleLines() const {
    std::vector<const xmlNode*> lines;
    for (const xmlNode* div : Descendants(body_, "div")) {
      if (ChildElements(div, "div").empty()) lines.push_back(div);
    }
    return lines;
  }

  std::string bytes_;
  XmlDoc doc_;
  const xmlNode* head_ = nullptr;
  const xmlNode* body_ = nullptr;
};

TEST_F(HelpPage, IsAsciiHtmlWithUpperCaseTagsAndCrLf) {
  EXPECT_TRUE(IsAscii(bytes_));
  EXPECT_EQ(LineEnds(bytes_), "CRLF");
  for (size_t at = bytes_.find('<'); at != std::string::npos; at = bytes_.find('<', at + 1)) {
    size_t name = bytes_[at + 1] == '/' ? at + 2 : at + 1;
    char first = bytes_[name];
    EXPECT_TRUE(first == '!' || std::isupper(static_cast<unsigned char>(first))) << bytes_.substr(at, 20);
    while (std::isalnum(static_cast<unsigned char>(bytes_[name]))) {
      EXPECT_FALSE(std::islower(static_cast<unsigned char>(bytes_[name]))) << bytes_.substr(at, 20);
      ++name;
    }
  }
}

TEST_F(HelpPage, NeedsNoOtherFileAndItsLinksGoNowhere) {
  for (const xmlNode* element : Descendants(xmlDocGetRootElement(doc_.get()))) {
    std::string name = LocalName(element);
    for (const char* loader : {"link", "style", "img", "iframe", "frame", "object", "embed", "base"}) {
      EXPECT_NE(name, loader);
    }
    EXPECT_FALSE(Attribute(element, "src").has_value()) << name;
    if (auto href = Attribute(element, "href")) {
      EXPECT_EQ(name, "a");
      EXPECT_EQ(*href, "#");
      EXPECT_EQ(Attribute(element, "onclick"), "return false;");
      EXPECT_EQ(VisibleText(element), "-");
    }
  }
  std::vector<std::string> head;
  for (const xmlNode* element : ChildElements(head_)) head.push_back(LocalName(element) + ":" + VisibleText(element));
  EXPECT_EQ(head, (std::vector<std::string>{"meta:", "script:var i = 5;", "title:"}));
  EXPECT_EQ(Attribute(ChildElements(head_, "meta").at(0), "name"), "GENERATOR");
  EXPECT_EQ(Attribute(body_, "bgcolor"), "silver");
}

TEST_F(HelpPage, ShowsHeadingExplanationExampleAndClosingInOrder) {
  std::vector<std::string> parts;
  for (const xmlNode* element : ChildElements(body_)) {
    std::string name = LocalName(element);
    if (name == "div") {
      if (parts.back() != "example") parts.push_back("example");
      continue;
    }
    parts.push_back(name + ": " + VisibleText(element));
  }
  EXPECT_EQ(parts, (std::vector<std::string>{
                       "h2: Error in the platform XML Schema cache:",
                       "hr: ",
                       "p: In order to have the XML persistence to work, you have to have the directory and file, "
                       "System Drive:\\Program Files\\Common Files\\Quorvane\\Shared\\qzschemas.xml, installed on "
                       "your machine. This file is considered being part of the platform XML persistence.",
                       "p: This file is where you can put your own customized schema references so that they can be "
                       "considered part of the general persistence. Your schema is then put into a Schema cache "
                       "when Loading and Saving XML documents.",
                       "p: Here is the format described.",
                       "example",
                       "p: Regards the component group",
                   }));

  // The heading keeps its trailing blank; it and the path stand out in colour.
  const xmlNode* heading = ChildElements(body_, "h2").at(0);
  std::string headingText;
  AppendText(heading, &headingText);
  EXPECT_EQ(headingText, "Error in the platform XML Schema cache: ");
  std::vector<std::string> fonts;
  for (const xmlNode* font : Descendants(body_, "font")) {
    std::string text = VisibleText(font);
    if (text.find("Error in") == 0 || text.find("System Drive") == 0 || text.find("Regards") == 0) {
      fonts.push_back(Attribute(font, "color").value_or("") + " " + LocalName(font->parent));
    }
  }
  EXPECT_EQ(fonts, (std::vector<std::string>{"red h2", "green i", "blue p"}));
}

TEST_F(HelpPage, ExampleDrawsTheCacheFileLineByLine) {
  struct Line {
    int depth;
    const char* text;
  };
  const Line expected[] = {
      {0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
      {0, "- <QZSchemasRoot>"},
      {1,
       "- <Schema name=\"QZSchemas\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
       "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\"> // Inline schema telling the format of the file"},
      {2,
       "<AttributeType name=\"urn\" dt:type=\"string\" required=\"yes\"/> "
       "// Forward declaration of the Urn attribute"},
      {2,
       "<AttributeType name=\"Filename\" dt:type=\"string\" required=\"yes\"/> "
       "// The actual filename the urn is refering to"},
      {2, "- <ElementType name=\"QZSchema\" content=\"mixed\"> // An element having the two above attributes"},
      {3, "<attribute type=\"urn\"/> // The attrbutes actually used"},
      {3, "<attribute type=\"Filename\"/> // -------------\"\"-------------------------"},
      {2, "</ElementType>"},
      {2, "- <ElementType name=\"QZSchemas\" content=\"mixed\"> // An collection element, to frame it all"},
      {3, "<element type=\"QZSchema\" minOccurs=\"1\" maxOccurs=\"*\"/> // Framing your schema"},
      {2, "</ElementType>"},
      {1, "</Schema> // This is a small schema so we use it inline"},
      {1, "- <QZSchemas xmlns=\"x-schema:#QZSchemas\">"},
      {2, "<QZSchema urn=\"x-schema:Tavel-basic-datatypes.xml\" Filename=\"C:\\Tavel-basic-datatypes.xml\"/>"},
      {2,
       "// the urn: is the actual schema refered to the Filename is where to load the Schema into the cache "
       "from"},
      {1, "</QZSchemas>"},
      {0, "</QZSchemasRoot>"},
  };
  std::vector<std::string> expectedLines;
  for (const Line& line : expected) expectedLines.push_back(std::to_string(line.depth) + " " + line.text);

  std::vector<std::string> lines;
  for (const xmlNode* line : ExampleLines()) {
    int depth = 0;
    for (const xmlNode* up = line->parent; up != nullptr; up = up->parent) {
      if (up->type == XML_ELEMENT_NODE && LocalName(up) == "div") {
        EXPECT_EQ(Attribute(up, "style"), "MARGIN-LEFT: 1em");
        ++depth;
      }
    }
    lines.push_back(std::to_string(depth) + " " + VisibleText(line));
  }
  EXPECT_EQ(lines, expectedLines);
}

TEST_F(HelpPage, ExampleUsesTheColoursOfAnXmlView) {
  // Colour of each kind of text in the example.
  std::vector<std::string> misfits;
  for (const xmlNode* line : ExampleLines()) {
    for (const xmlNode* font : Descendants(line, "font")) {
      std::string text = VisibleText(font);
      std::string colour = Attribute(font, "color").value_or("");
      std::string want;
      if (text == "-") {
        want = "red";
      } else if (text.find("//") == 0 || text.find("the Filename") == 0 || text == "dt:type") {
        want = "green";
      } else if (text.find("xmlns") == 0) {
        want = "red";
      } else if (std::isalpha(static_cast<unsigned char>(text[0]))) {
        want = "#990000";
      } else {
        want = "blue";
      }
      if (colour != want) misfits.push_back(text + " in " + colour);
    }
    // Attribute values are bold.
    for (const xmlNode* bold : Descendants(line, "b")) {
      EXPECT_EQ(LocalName(bold->parent), "div") << VisibleText(bold);
    }
  }
  EXPECT_EQ(misfits, std::vector<std::string>{});
  EXPECT_EQ(Descendants(body_, "a").size(), 5u);
  EXPECT_EQ(Descendants(body_, "b").size(), 2u + 23u);  // the path and heading, and every attribute value
}

}  // namespace
