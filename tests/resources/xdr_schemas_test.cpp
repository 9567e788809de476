// The XDR schemas the module carries: plain ASCII with CR LF line ends, each
// with its own XML declaration, and their declarations in order, written
// exactly as the applications that load them expect, odd names included.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "documents.h"

namespace {

using namespace qzdocs;

constexpr char kXdrNamespace[] = "urn:schemas-microsoft-com:xml-data";
constexpr char kDataTypesNamespace[] = "urn:schemas-microsoft-com:datatypes";

// A declaration in the words of the schema tables ("—": not carried):
//   AttributeType: name, dt:type, dt:values, default, required;
//   ElementType: name, model, content, dt:type, attribute references,
//     element references (with the occurrence attributes each carries);
//   or, where the attribute types are declared inside the element type:
//   name, model, content, the attribute types declared, element references.
using Row = std::vector<std::string>;

const std::vector<Row> kStandardReport = {
    {"AttributeType", "Enabled", "i4", "—", "—", "yes"},
    {"AttributeType", "IID", "string", "—", "—", "yes"},
    {"AttributeType", "Name", "string", "—", "—", "yes"},
    {"AttributeType", "FileName", "string", "—", "—", "yes"},
    {"AttributeType", "DatabaseName", "string", "—", "—", "yes"},
    {"AttributeType", "UserName", "string", "—", "—", "yes"},
    {"AttributeType", "Password", "string", "—", "—", "yes"},
    {"AttributeType", "ServerName", "string", "—", "—", "yes"},
    {"AttributeType", "VARTYPE", "string", "—", "—", "yes"},
    {"AttributeType", "VALUE", "string", "—", "—", "yes"},
    {"AttributeType", "authentication", "i4", "—", "—", "yes"},
    {"AttributeType", "Autofill", "i4", "—", "—", "yes"},
    {"AttributeType", "DisplayBinding", "string", "—", "—", "yes"},
    {"AttributeType", "Data_ID", "i4", "—", "—", "yes"},
    {"AttributeType", "Data_Runs_ID", "i4", "—", "—", "yes"},
    {"AttributeType", "Data_Functions_ID", "i4", "—", "—", "yes"},
    {"AttributeType", "FieldName", "string", "—", "—", "yes"},
    {"ElementType", "CellSampleData", "—", "—", "string", "—", "—"},
    {"ElementType", "DisplayData", "—", "—", "string", "—", "—"},
    {"ElementType", "SampleData", "open", "mixed", "—", "—", "DisplayData minOccurs=\"0\" maxOccurs=\"1\""},
    {"ElementType", "gcxDocument", "—", "—", "string", "—", "—"},
    {"ElementType", "DisplayProfile", "open", "eltOnly", "—", "—", "gcxDocument minOccurs=\"0\" maxOccurs=\"1\""},
    {"ElementType", "ActiveField", "open", "mixed", "—", "FieldName; VARTYPE; VALUE", "—"},
    {"ElementType", "DataBinding", "open", "mixed", "—", "Data_ID; Data_Runs_ID; Data_Functions_ID",
     "ActiveField minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "TableCell", "open", "eltOnly", "—", "—",
     "DataBinding minOccurs=\"0\" maxOccurs=\"1\"; CellSampleData minOccurs=\"0\" maxOccurs=\"1\""},
    {"ElementType", "TableRow", "—", "eltOnly", "—", "—", "TableCell minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "Table", "open", "mixed", "—", "Name; Autofill; DisplayBinding",
     "TableRow minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "Object", "open", "mixed", "—", "IID; Name", "—"},
    {"ElementType", "Display", "open", "mixed", "—", "IID; Name",
     "DataBinding minOccurs=\"0\" maxOccurs=\"1\"; DisplayProfile minOccurs=\"0\" maxOccurs=\"1\"; "
     "SampleData minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "Displays", "open", "mixed", "—", "—", "Display minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "Tables", "open", "mixed", "—", "—", "Table minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "Objects", "open", "mixed", "—", "—", "Object minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "HTMLDocument", "open", "mixed", "—", "FileName", "—"},
    {"ElementType", "ReportTemplateFile", "open", "mixed", "—", "FileName", "—"},
    {"ElementType", "DBConnection", "open", "mixed", "—",
     "ServerName; DatabaseName; UserName; Password; authentication", "—"},
    {"ElementType", "ProjectRef", "open", "mixed", "—", "—",
     "DBConnection minOccurs=\"1\" maxOccurs=\"1\"; HTMLDocument minOccurs=\"1\" maxOccurs=\"*\"; "
     "ReportTemplateFile minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "ReportTemplate", "open", "mixed", "—", "—",
     "Tables minOccurs=\"0\" maxOccurs=\"*\"; Objects minOccurs=\"0\" maxOccurs=\"*\"; "
     "Displays minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "ResourceFile", "open", "mixed", "—", "FileName", "—"},
    {"ElementType", "ProjectResources", "open", "mixed", "—", "—", "ResourceFile minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "ProjectProperties", "open", "mixed", "—", "—", "Plugins"},
    {"ElementType", "ProjectFile", "open", "mixed", "—", "FileName (required=\"yes\")", "—"},
    {"ElementType", "Plugin", "closed", "mixed", "—", "IID (required=\"yes\"); Enabled", "—"},
    {"ElementType", "Plugins", "open", "eltOnly", "—", "—", "Plugin"},
    {"ElementType", "Option", "closed", "mixed", "—", "Name; VARTYPE; VALUE", "—"},
    {"ElementType", "OptionGroup", "open", "eltOnly", "—", "Name", "Option minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "OptionGroups", "open", "eltOnly", "—", "—", "OptionGroup minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "ApplicationOptions", "open", "eltOnly", "—", "—",
     "OptionGroups minOccurs=\"0\" maxOccurs=\"1\"; Plugins minOccurs=\"0\" maxOccurs=\"1\""},
    {"ElementType", "ReportProject", "open", "mixed", "—", "—",
     "ProjectRef minOccurs=\"0\" maxOccurs=\"*\"; ProjectResources minOccurs=\"0\" maxOccurs=\"*\""},
};

const std::vector<Row> kComponentManager = {
    {"ElementType", "Component", "closed", "—",
     "CreateNew: dt:type enumeration, dt:values \"Yes No\", default \"Yes\", requerid \"yes\"; "
     "ProgID: dt:type string, requerid \"yes\"; Name: dt:type string, requerid \"no\"",
     "—"},
    {"ElementType", "ComponentGroup", "closed", "—", "Owner: dt:type string, requerid \"yes\"",
     "Component minOccurr=\"1\" maxOccurs=\"*\""},
    {"ElementType", "ComponentGroups", "closed", "—", "—", "ComponentGroup minOccurr=\"1\" maxOccurs=\"*\""},
};

const std::vector<Row> kTemplates = {
    {"AttributeType", "Name", "string", "—", "—", "yes"},
    {"AttributeType", "FileName", "string", "—", "—", "yes"},
    {"AttributeType", "FieldName", "string", "—", "—", "yes"},
    {"AttributeType", "VARTYPE", "string", "—", "—", "yes"},
    {"AttributeType", "VALUE", "string", "—", "—", "yes"},
    {"AttributeType", "DisplayBinding", "string", "—", "—", "yes"},
    {"AttributeType", "Data_ID", "i4", "—", "—", "yes"},
    {"AttributeType", "Data_Runs_ID", "i4", "—", "—", "yes"},
    {"AttributeType", "Data_Functions_ID", "i4", "—", "—", "yes"},
    {"ElementType", "InnerHTML", "—", "—", "string", "—", "—"},
    {"ElementType", "HTMLDocument", "open", "mixed", "—", "FileName", "InnerHTML minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "ActiveField", "open", "mixed", "—", "FieldName; VARTYPE; VALUE", "—"},
    {"ElementType", "QZDataBinding", "open", "mixed", "—", "Data_ID; Data_Runs_ID; Data_Functions_ID",
     "ActiveField minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "QZTableCell", "open", "eltOnly", "—", "—", "QZDataBinding minOccurs=\"0\" maxOccurs=\"1\""},
    {"ElementType", "QZTableRow", "—", "eltOnly", "—", "—", "QZTableCell minOccurs=\"1\" maxOccurs=\"*\""},
    {"ElementType", "QZTable", "—", "—", "—", "Name; Autofill; DisplayBinding",
     "TableRow minOccurs=\"1\" maxOccurs=\"*\"; InnerHTML minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "QZTemplate", "open", "eltOnly", "—", "Name",
     "QZTable minOccurs=\"0\" maxOccurs=\"*\"; HTMLDocument minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "QZTemplates", "—", "—", "—", "—", "QZTemplate minOccurs=\"0\" maxOccurs=\"*\""},
};

const std::vector<Row> kTableAutoFill = {
    {"AttributeType", "Direction", "enumeration", "\" Horizontal Vertical\"", "—", "yes"},
    {"AttributeType", "ViewType", "enumeration", "\" Data Name DataAndName FreeText\"", "—", "—"},
    {"AttributeType", "Name", "string", "—", "—", "—"},
    {"AttributeType", "Value", "string", "—", "—", "—"},
    {"AttributeType", "V_TYPE", "string", "—", "—", "—"},
    {"AttributeType", "CreateDate", "dateTime", "—", "—", "—"},
    {"AttributeType", "ModifyDate", "dateTime", "—", "—", "—"},
    {"AttributeType", "X", "i4", "—", "—", "—"},
    {"AttributeType", "Y", "i4", "—", "—", "—"},
    {"ElementType", "Note", "open", "—", "string", "—", "—"},
    {"ElementType", "Index", "open", "mixed", "—", "X; Y", "—"},
    {"ElementType", "LayoutDataBinding", "open", "mixed", "—",
     "Name (required=\"yes\"); Value (required=\"yes\"); V_TYPE (required=\"yes\")", "—"},
    {"ElementType", "Cell", "open", "mixed", "—", "—",
     "Index minOccurs=\"1\" maxOccurs=\"1\"; LayoutDataBinding minOccurs=\"0\" maxOccurs=\"1\""},
    {"ElementType", "Cells", "open", "eltOnly", "—", "—", "Cell minOccurs=\"0\" maxOccurs=\"*\""},
    {"ElementType", "Layout", "open", "mixed", "—", "CreateDate; ModifyDate; Name; Direction; ViewType", "Note; Cells"},
    {"ElementType", "Layouts", "open", "eltOnly", "—", "—", "Layout minOccurs=\"1\" maxOccurs=\"*\""},
};

struct XdrSchema {
  const char* file;
  const char* name;
  const char* declarationLine;
  bool attributeTypesInside;
  const std::vector<Row>* declarations;
};

const XdrSchema kSchemas[] = {
    {"Standard-report.xml", "Standard-report", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>", false,
     &kStandardReport},
    {"Componentmanager-Schema.xml", "Componentmanager-Schema", "<?xml version=\"1.0\"?>", true, &kComponentManager},
    {"QZTemplates.xml", "QZTemplates", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>", false, &kTemplates},
    {"QZTableAutoFill.xml", "QZTableAutoFill", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", false, &kTableAutoFill},
};

void PrintTo(const XdrSchema& schema, std::ostream* out) { *out << schema.file; }

std::string Or(const std::optional<std::string>& value) { return value.value_or("—"); }

std::string Quoted(const std::optional<std::string>& value) { return value ? "\"" + *value + "\"" : "—"; }

// A reference as the tables write it: the type, then its other attributes.
std::string DescribeReference(const xmlNode* reference, bool parenthesised) {
  std::string text = Or(Attribute(reference, "type"));
  for (const auto& [name, value] : Attributes(reference)) {
    if (name == "type") continue;
    std::string attribute = name + "=\"" + value + "\"";
    text += parenthesised ? " (" + attribute + ")" : " " + attribute;
  }
  return text;
}

std::vector<std::string> References(const xmlNode* elementType, const char* kind) {
  std::vector<std::string> references;
  for (const xmlNode* reference : ChildElements(elementType, kind)) {
    references.push_back(DescribeReference(reference, std::string(kind) == "attribute"));
  }
  return references;
}

// An attribute type declared inside an element type: "Name: dt:type string, requerid \"no\"".
std::string DescribeInnerAttributeType(const xmlNode* attributeType) {
  std::vector<std::string> attributes;
  for (const auto& [name, value] : Attributes(attributeType)) {
    if (name == "name") continue;
    attributes.push_back(name + " " + (name == "dt:type" ? value : "\"" + value + "\""));
  }
  return Or(Attribute(attributeType, "name")) + ": " + JoinOrDash(attributes, ", ");
}

Row Describe(const xmlNode* declaration, bool attributeTypesInside) {
  std::string kind = LocalName(declaration);
  if (kind == "AttributeType") {
    return {kind,
            Or(Attribute(declaration, "name")),
            Or(Attribute(declaration, "dt:type")),
            Quoted(Attribute(declaration, "dt:values")),
            Or(Attribute(declaration, "default")),
            Or(Attribute(declaration, "required"))};
  }
  Row row{kind, Or(Attribute(declaration, "name")), Or(Attribute(declaration, "model")),
          Or(Attribute(declaration, "content"))};
  if (attributeTypesInside) {
    std::vector<std::string> inner;
    for (const xmlNode* attributeType : ChildElements(declaration, "AttributeType")) {
      inner.push_back(DescribeInnerAttributeType(attributeType));
    }
    row.push_back(JoinOrDash(inner, "; "));
    EXPECT_TRUE(References(declaration, "attribute").empty());
  } else {
    row.push_back(Or(Attribute(declaration, "dt:type")));
    row.push_back(JoinOrDash(References(declaration, "attribute"), "; "));
  }
  row.push_back(JoinOrDash(References(declaration, "element"), "; "));
  return row;
}

class XdrSchemaDocument : public ::testing::TestWithParam<XdrSchema> {};

TEST_P(XdrSchemaDocument, IsAsciiWithCrLfAndItsOwnDeclaration) {
  std::string bytes = ReadDocumentFile(GetParam().file);
  EXPECT_TRUE(IsAscii(bytes));
  EXPECT_EQ(LineEnds(bytes), "CRLF");
  EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), GetParam().declarationLine);
}

TEST_P(XdrSchemaDocument, IsANamedXdrSchema) {
  XmlDoc doc = ParseXml(ReadDocumentFile(GetParam().file));
  ASSERT_NE(doc, nullptr) << "not well-formed";
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  EXPECT_EQ(LocalName(root), "Schema");
  EXPECT_EQ(Attribute(root, "name"), GetParam().name);
  std::vector<std::string> namespaces;
  for (const xmlNs* ns = root->nsDef; ns != nullptr; ns = ns->next) {
    std::string prefix = ns->prefix != nullptr ? reinterpret_cast<const char*>(ns->prefix) : "";
    namespaces.push_back(prefix + "=" + reinterpret_cast<const char*>(ns->href));
  }
  EXPECT_EQ(namespaces,
            (std::vector<std::string>{std::string("=") + kXdrNamespace, std::string("dt=") + kDataTypesNamespace}));
}

TEST_P(XdrSchemaDocument, HoldsItsDeclarationsInOrder) {
  XmlDoc doc = ParseXml(ReadDocumentFile(GetParam().file));
  ASSERT_NE(doc, nullptr) << "not well-formed";
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  std::vector<Row> declarations;
  bool commented = false;
  for (const xmlNode* child = root->children; child != nullptr; child = child->next) {
    if (child->type == XML_COMMENT_NODE) commented = true;
    if (child->type == XML_ELEMENT_NODE) declarations.push_back(Describe(child, GetParam().attributeTypesInside));
  }
  EXPECT_EQ(declarations, *GetParam().declarations);
  EXPECT_TRUE(commented) << "comments stand between the declarations";
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, XdrSchemaDocument, ::testing::ValuesIn(kSchemas),
                         [](const ::testing::TestParamInfo<XdrSchema>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c != '\0'; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });

}  // namespace
