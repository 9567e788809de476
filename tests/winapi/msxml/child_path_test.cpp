// Plain child paths are selected without the XPath engine; what they select
// must be exactly what the engine selects, node for node and in order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include "winapi/msxml/child_path.h"

namespace msxmltest {
namespace {

using qzwin::msxml::SelectChildPath;

using DocPtr = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

DocPtr Parse(const char* text) {
  return DocPtr(xmlReadMemory(text, static_cast<int>(std::string(text).size()), nullptr, nullptr, XML_PARSE_NOENT),
                xmlFreeDoc);
}

std::vector<xmlNodePtr> ByEngine(xmlNodePtr context, const std::string& expression) {
  std::vector<xmlNodePtr> nodes;
  std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> xpath(xmlXPathNewContext(context->doc),
                                                                         xmlXPathFreeContext);
  xpath->node = context;
  std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
      xmlXPathEvalExpression(BAD_CAST expression.c_str(), xpath.get()), xmlXPathFreeObject);
  EXPECT_TRUE(result && result->type == XPATH_NODESET) << expression;
  if (result && result->nodesetval != nullptr) {
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) nodes.push_back(result->nodesetval->nodeTab[i]);
  }
  return nodes;
}

// Entries in two namespaces and none, an entry whose value is made of an
// entity, another of character references, namespaced attributes of the
// same name, a nested list, and text and comments between the elements.
constexpr char kCache[] =
    "<!DOCTYPE r [<!ENTITY ent 'x-schema:E.xsd'>]>"
    "<r:QZSchemasRoot xmlns:r='urn:root' xmlns:o='urn:other'>"
    "<!-- lists -->text"
    "<QZSchemas xmlns='x-schema:#QZSchemas'>"
    "  <QZSchema urn='x-schema:A.xsd' Filename='a'/>"
    "  <QZSchema xmlns='x-schema:Tavel-basic-datatypes.xml' urn='x-schema:B.xsd'/>"
    "  <QZSchema urn='&ent;' Filename='e'/>"
    "  <QZSchema o:urn='x-schema:A.xsd' urn='x-schema:&#67;.xsd'/>"
    "  <QZSchema urn=''/>"
    "  <Other urn='x-schema:A.xsd'><QZSchema urn='x-schema:A.xsd'/></Other>"
    "</QZSchemas>"
    "<QZSchemas><QZSchema urn='x-schema:A.xsd'/><QZSchema urn='x-schema:Z.xsd'/></QZSchemas>"
    "<o:QZSchemas><QZSchema urn='x-schema:A.xsd'/></o:QZSchemas>"
    "</r:QZSchemasRoot>";

TEST(ChildPath, SelectsWhatTheEngineSelects) {
  DocPtr doc = Parse(kCache);
  ASSERT_TRUE(doc);
  xmlNodePtr root = xmlDocGetRootElement(doc.get());
  const char* const expressions[] = {
      "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']",
      "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']/*[local-name()='QZSchema']",
      "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']"
      "/*[@urn = \"x-schema:A.xsd\"][local-name()='QZSchema']",
      "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']/*[@urn = \"x-schema:E.xsd\"]",
      "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']/*[@urn = 'x-schema:C.xsd']",
      "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']/*[@urn = '']",
      "/*[local-name()='QZSchemasRoot' and namespace-uri()='urn:root']"
      "/*[local-name()='QZSchemas' and namespace-uri()='x-schema:#QZSchemas'][1]"
      "/*[local-name()='QZSchema' and namespace-uri()='x-schema:#QZSchemas' and @urn = 'x-schema:A.xsd']",
      "/*/*[namespace-uri()='']/QZSchema",
      "/*/*/*[2]",
      "/*/*[ 3 ] / * [ @urn='x-schema:A.xsd' ]",
      "/*/*/*[@urn='x-schema:A.xsd'][2]",
      "/*/*/*[0]",
      "/*/QZSchemas",
      "/QZSchemasRoot",
      "*/*",
      "QZSchemas/QZSchema[1]",
      "/*/*/*[@Filename='a' and@urn='x-schema:A.xsd']",
  };
  size_t selected = 0;
  for (const char* expression : expressions) {
    for (xmlNodePtr context : {reinterpret_cast<xmlNodePtr>(doc.get()), root, root->children->next->next}) {
      std::vector<xmlNodePtr> nodes;
      ASSERT_TRUE(SelectChildPath(context, expression, &nodes)) << expression;
      EXPECT_EQ(ByEngine(context, expression), nodes) << expression;
      selected += nodes.size();
    }
  }
  // What they find between them: an empty answer everywhere would also agree.
  EXPECT_EQ(92u, selected);
}

TEST(ChildPath, LeavesEverythingElseToTheEngine) {
  DocPtr doc = Parse(kCache);
  ASSERT_TRUE(doc);
  const char* const expressions[] = {
      "", "/", "//QZSchema", "/*//*", "r:QZSchemasRoot", "/*/child::*", "/*/text()", "/*/*[last()]",
      "/*/*[@urn]", "/*/*[@urn != 'x']", "/*/*[@urn = 'x' or @urn = 'y']", "/*/*[@urn = \"x]",
      "/*/*[name()='QZSchemas']", "/*/*[1.0]", "/*/*[1234567890]", "/*/.", "/*/..", "/*/@urn", "/*/*[@o:urn='x']",
      "/*/*[\"x\" = @urn]", "/*/*[local-name()='QZSchemas' andnamespace-uri()='']", "/*/Q\xC3\xA9", "/* | /*",
  };
  for (const char* expression : expressions) {
    std::vector<xmlNodePtr> nodes{reinterpret_cast<xmlNodePtr>(doc.get())};
    EXPECT_FALSE(SelectChildPath(reinterpret_cast<xmlNodePtr>(doc.get()), expression, &nodes)) << expression;
    EXPECT_EQ(1u, nodes.size()) << expression;
  }
  // An attribute has no children to step into.
  xmlNodePtr list = xmlDocGetRootElement(doc.get())->children->next->next;
  std::vector<xmlNodePtr> nodes;
  EXPECT_FALSE(SelectChildPath(reinterpret_cast<xmlNodePtr>(list->children->next->properties), "*", &nodes));
}

}  // namespace
}  // namespace msxmltest
