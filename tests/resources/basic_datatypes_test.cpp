// The basic datatypes schema: it must compile as an XML Schema, declare what
// the platform's data files are written in, in its order, and accept and
// refuse the documents its declarations describe.
#include <gtest/gtest.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "documents.h"

namespace {

using namespace qzdocs;

constexpr char kFileName[] = "Tavel-basic-datatypes.xml";
constexpr char kXsdNamespace[] = "http://www.w3.org/2001/XMLSchema";

constexpr char kDeclarationAndRoot[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r"
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" id=\"Tavel-basic-datatypes\" "
    "elementFormDefault=\"qualified\" targetNamespace=\"x-schema:Tavel-basic-datatypes.xml\" "
    "xmlns:tvb=\"x-schema:Tavel-basic-datatypes.xml\" xmlns:dt=\"urn:schemas-microsoft-com:datatype\">\r";

// clang-format off
const char* const kComplexTypesInOrder[] = {
    "Anonymous", "asciiData", "Binder", "BinderDefinition", "Binding", "Bindings", "BindToVariable",
    "QZAnalyzerAttributeGroup", "QZAttribute", "QZAttributeGroup", "QZAttributeGroupsType",
    "QZBuffersAttributeGroup", "QZCommentsAttributeGroup", "QZDataType", "QZDataAxis",
    "QZDataCalculation", "QZDataCalculationManager", "QZDataContainer", "QZDataPlugin", "QZDataPlugins",
    "QZDelimitersAttributeGroup", "QZDOFInformationAttributeGroup", "QZEncodings",
    "QZFunctionAttributeGroup", "QZIndexStatusAttributeGroup", "QZInterpolationAttributeGroup",
    "QZOverallBandsAttributeGroup", "QZQueryGenerator", "QZSignalAttributeGroup",
    "QZSliceAttributeGroup", "QZStatusAttributeGroup", "QZTagScalesAttributeGroup", "QZTagVector",
    "QZTransducerAttributeGroup", "QZXIndexedAttributeGroups", "QZXTagVector", "QZXTagVectors",
    "QZZIndexedAttributeGroups", "QZZTagVector", "QZZTagVectors", "CAdapter", "CalcItem",
    "CComponentGroup", "CTavelDemoDocType", "DataSet", "DataSets", "Encoding", "Encodings", "Inputs",
    "Layout", "Link", "LinksFrom", "LinksTo", "MainWindowPlacement", "OutPuts", "Parameter", "Plugin",
    "Plugins", "Point", "ptMaxPosition", "ptMinPosition", "rcNormalPosition", "Rect", "Sourcecode",
    "Stream", "Task", "TaskGroup", "TaskMgr", "textAxis", "UnusedPlugins", "ValueConnection", "Values",
    "WindowPlacement", "WindowPlacemnet",
};
// clang-format on

struct SimpleTypeRow {
  const char* name;
  const char* values;
};
const SimpleTypeRow kSimpleTypes[] = {
    {"acousticWeighting", "\"None\", \"A\", \"B\", \"C\", \"D\", \"G\", \"L\", \"AsInput\""},
    {"axisType", "\"Linear\", \"Logaritmic\", \"Octave\", \"Table\", \"Text\", \"ISO\""},
    {"numericFormatType",
     "\"Integer\", \"Real\", \"Complex\", \"Boolean\", \"DateTime\", \"SingleReal\", \"SingleComplex\""},
    {"vtType",
     "\"VT_I2\", \"VT_I4\", \"VT_R4\", \"VT_R8\", \"VT_CY\", \"VT_DATE\", \"VT_BSTR\", \"VT_BOOL\", "
     "\"VT_VARIANT\", \"VT_DECIMAL\", \"VT_I1\", \"VT_UI1\", \"VT_UI2\", \"VT_UI4\", \"VT_I8\", "
     "\"VT_UI8\", \"VT_INT\", \"VT_UINT\""},
};

struct InlineEnumerationRow {
  const char* type;
  const char* attribute;
  const char* values;
};
const InlineEnumerationRow kInlineEnumerations[] = {
    {"QZAnalyzerAttributeGroup", "detectorId",
     "\"Exponential\", \"ImpulseExponential\", \"ExponentialMaxHold\", \"ExponentialMinHold\", "
     "\"Linear\", \"LinearImpulse\", \"Peak\""},
    {"QZFunctionAttributeGroup", "coordinate", "\"Magnitude\", \"Phase\", \"Real\", \"Imaginary\""},
    {"QZFunctionAttributeGroup", "domain", "\"Time\", \"Frequency\", \"NA\""},
    {"QZFunctionAttributeGroup", "spectralUnit",
     "\"AMP\", \"PWR\", \"RMS\", \"PSD\", \"RSD\", \"ESD\", \"Peak\", \"PkPk\""},
    {"QZOverallBandsAttributeGroup", "wColumnKind", "\"None\", \"A\", \"B\", \"C\", \"D\", \"L\", \"Q\""},
    {"QZSliceAttributeGroup", "type",
     "\"Normal\", \"Relative\", \"Absolute\", \"WColumn\", \"LColumn\", \"NColumn\", \"Order\", "
     "\"Distortion\", \"Level\""},
    {"QZSliceAttributeGroup", "defintion", "\"StartStop\", \"CenterWidth\", \"CenterNoLines\""},
    {"QZSliceAttributeGroup", "kind", "\"Peak\", \"Mean\", \"Sum\""},
};

struct GlobalElementRow {
  const char* name;
  const char* type;
};
const GlobalElementRow kGlobalElements[] = {
    {"QZAttributeGroups", "QZAttributeGroupsType"},
    {"QZData", "QZDataType"},
    {"CTavelDemoDoc", "CTavelDemoDocType"},
};

// A complex type as the tables write it: "—" for nothing, "none" for no
// child content, local elements as name, type and occurrence attributes.
struct ComplexTypeRow {
  const char* name;
  const char* mixed;
  const char* content;
  const char* attributes;
};
const ComplexTypeRow kComplexTypes[] = {
    {"QZDataType", "true",
     "xs:all minOccurs=\"1\" of QZDataAxis tvb:QZDataAxis minOccurs=\"0\", "
     "QZAttributeGroups tvb:QZAttributeGroupsType minOccurs=\"0\", "
     "QZXIndexedAttributeGroups tvb:QZXIndexedAttributeGroups minOccurs=\"0\", "
     "QZZIndexedAttributeGroups tvb:QZZIndexedAttributeGroups minOccurs=\"0\", "
     "QZXTagVectors tvb:QZXTagVectors minOccurs=\"0\", "
     "QZZTagVectors tvb:QZZTagVectors minOccurs=\"0\", "
     "QZDataPlugins tvb:QZDataPlugins minOccurs=\"0\", data (no type), "
     "asciiData tvb:asciiData minOccurs=\"0\"",
     "xSize dt:type=\"i4\"; zSize xs:int; numericFormat tvb:numericFormatType; isSlice xs:boolean; "
     "isUseableAsTag xs:boolean"},
    {"QZDataAxis", "true",
     "xs:all minOccurs=\"0\" of textAxis tvb:textAxis minOccurs=\"0\", data (no type) minOccurs=\"0\", "
     "asciiData tvb:asciiData minOccurs=\"0\"",
     "delta xs:double; firstValue xs:double; length xs:int; axisType tvb:axisType; unit xs:string; "
     "firstBand xs:int; octave xs:int"},
    {"QZTagVector", "true",
     "xs:all minOccurs=\"0\" of data (no type) minOccurs=\"0\", asciiData tvb:asciiData minOccurs=\"0\"",
     "groupName xs:string; name xs:string; unit xs:string; length xs:int use=\"required\"; "
     "numericFormat tvb:numericFormatType"},
    {"QZAttribute", "true", "none", "name xs:string; vtType tvb:vtType; value xs:string"},
    {"QZAttributeGroup", "true",
     "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of QZAttribute tvb:QZAttribute minOccurs=\"0\"",
     "groupName xs:string; name xs:string"},
    {"QZAttributeGroupsType", "true",
     "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of xs:choice of QZCommentsAttributeGroup "
     "tvb:QZCommentsAttributeGroup minOccurs=\"0\", "
     "QZDelimitersAttributeGroup tvb:QZDelimitersAttributeGroup minOccurs=\"0\", "
     "QZBuffersAttributeGroup tvb:QZBuffersAttributeGroup minOccurs=\"0\", "
     "QZFunctionAttributeGroup tvb:QZFunctionAttributeGroup minOccurs=\"0\", "
     "QZSignalAttributeGroup tvb:QZSignalAttributeGroup minOccurs=\"0\", "
     "QZTransducerAttributeGroup tvb:QZTransducerAttributeGroup minOccurs=\"0\", "
     "QZAnalyzerAttributeGroup tvb:QZAnalyzerAttributeGroup minOccurs=\"0\", "
     "QZIndexStatusAttributeGroup tvb:QZIndexStatusAttributeGroup minOccurs=\"0\", "
     "QZStatusAttributeGroup tvb:QZStatusAttributeGroup minOccurs=\"0\", "
     "QZAttributeGroup tvb:QZAttributeGroup minOccurs=\"0\", "
     "QZTagScalesAttributeGroup tvb:QZTagScalesAttributeGroup minOccurs=\"0\", "
     "QZSliceAttributeGroup tvb:QZSliceAttributeGroup minOccurs=\"0\", "
     "QZInterpolationAttributeGroup tvb:QZInterpolationAttributeGroup minOccurs=\"0\", "
     "QZOverallBandsAttributeGroup tvb:QZOverallBandsAttributeGroup minOccurs=\"0\", "
     "QZDOFInformationAttributeGroup tvb:QZDOFInformationAttributeGroup minOccurs=\"0\"",
     "index xs:int"},
    {"QZCommentsAttributeGroup", "true",
     "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of QZAttribute tvb:QZAttribute", "groupName xs:string"},
    {"QZTagScalesAttributeGroup", "true",
     "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of QZAttribute tvb:QZAttribute", "groupName xs:string"},
    {"QZXIndexedAttributeGroups", "true",
     "xs:sequence minOccurs=\"0\" of QZAttributeGroups tvb:QZAttributeGroupsType minOccurs=\"0\" "
     "maxOccurs=\"unbounded\", "
     "data (no type) minOccurs=\"0\"",
     "enabled xs:boolean"},
    {"QZZIndexedAttributeGroups", "true",
     "xs:sequence minOccurs=\"0\" of QZAttributeGroups tvb:QZAttributeGroupsType minOccurs=\"0\" "
     "maxOccurs=\"unbounded\", "
     "data (no type) minOccurs=\"0\"",
     "enabled xs:boolean"},
    {"QZXTagVector", "true", "xs:all minOccurs=\"1\" maxOccurs=\"1\" of QZTagVector tvb:QZTagVector", "—"},
    {"QZXTagVectors", "true", "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of QZTagVector tvb:QZTagVector",
     "—"},
    {"QZZTagVector", "true", "xs:all minOccurs=\"1\" maxOccurs=\"1\" of QZTagVector tvb:QZTagVector", "—"},
    {"QZZTagVectors", "true", "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of QZTagVector tvb:QZTagVector",
     "—"},
    {"QZDataPlugins", "true",
     "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of QZDataPlugin tvb:QZDataPlugin minOccurs=\"0\"", "—"},
    {"QZDataPlugin", "true", "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of Parameter tvb:Parameter",
     "ProgID xs:string"},
    {"Parameter", "true", "none", "name xs:string; vtType tvb:vtType; value xs:string; hidden xs:boolean"},
    {"asciiData", "—", "none", "asciiData xs:string"},
    {"textAxis", "true", "none", "indexText xs:string"},
    {"QZEncodings", "true", "xs:all minOccurs=\"0\" of Encodings tvb:Encodings", "—"},
    {"Encodings", "true", "xs:all minOccurs=\"0\" of Encoding tvb:Encoding", "—"},
    {"Encoding", "true", "none", "Active xs:int; EncodingType xs:string"},
    {"WindowPlacement", "true",
     "xs:all minOccurs=\"0\" of ptMinPosition (inline type), ptMaxPosition (inline type), "
     "rcNormalPosition (inline type)",
     "length xs:int; flags xs:int; showCmd xs:int"},
    {"WindowPlacemnet", "true",
     "xs:all minOccurs=\"0\" of ptMinPosition tvb:ptMinPosition, ptMaxPosition tvb:ptMaxPosition, "
     "rcNormalPosition tvb:rcNormalPosition",
     "length xs:int; flags xs:int; showCmd xs:int"},
    {"ptMinPosition", "true", "none", "x xs:int; y xs:int"},
    {"ptMaxPosition", "true", "none", "x xs:int; y xs:int"},
    {"rcNormalPosition", "true", "none", "left xs:int; right xs:int; top xs:int; bottom xs:int"},
    {"CTavelDemoDocType", "true",
     "xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\" of xs:choice of MainWindowPlacement tvb:MainWindowPlacement "
     "minOccurs=\"1\" maxOccurs=\"1\", "
     "WindowPlacement tvb:WindowPlacement minOccurs=\"0\" maxOccurs=\"unbounded\", "
     "CAdapter tvb:CAdapter minOccurs=\"0\" maxOccurs=\"unbounded\", "
     "CComponentGroup tvb:CComponentGroup minOccurs=\"0\" maxOccurs=\"unbounded\", "
     "TaskMgr tvb:TaskMgr minOccurs=\"0\" maxOccurs=\"unbounded\", "
     "Anonymous tvb:Anonymous minOccurs=\"0\" maxOccurs=\"unbounded\", "
     "Stream (no type) minOccurs=\"0\" maxOccurs=\"unbounded\"",
     "CountOfChildren xs:int; name xs:string; Active xs:int"},
    {"QZQueryGenerator", "—", "xs:all of QZQueryGenerator (no type)", "—"},
    {"Stream", "true", "none", "—"},
    // The attribute groups that the data set chooses among: attributes only.
    {"QZAnalyzerAttributeGroup", "true", "none",
     "groupName xs:string; name xs:string; analyzer xs:string; centerFrequency xs:double; "
     "detectorId inline enumeration use=\"optional\"; deltaFrequency xs:double; deltaOrder xs:double; "
     "zoomOn xs:boolean; overallMeasurement xs:boolean; recordLength xs:double; "
     "fundamentalFrequency xs:double; tracking xs:boolean; envelopeOn xs:boolean"},
    {"QZBuffersAttributeGroup", "true", "none",
     "groupName xs:string; templateName xs:string; measurementName xs:string; "
     "multiBufferName xs:string; function xs:string; title xs:string; subTitle xs:string"},
    {"QZDelimitersAttributeGroup", "true", "none",
     "groupName xs:string; decimalSymbol xs:string; dateFormat xs:string; timeFormat xs:string"},
    {"QZDOFInformationAttributeGroup", "true", "none",
     "groupName xs:string; responseNode xs:int; referenceNode xs:int; responseEntityName xs:string; "
     "referenceEntityName xs:string; responseDirection xs:string; referenceDirection xs:string"},
    {"QZFunctionAttributeGroup", "true", "none",
     "groupName xs:string; bipolar xs:boolean; compressed xs:boolean; compressRatio xs:double; "
     "coordinate inline enumeration; dBReference xs:double; domain inline enumeration; "
     "slice xs:boolean; measurementSlice xs:boolean; tagDataset xs:boolean; power xs:boolean; "
     "unit xs:string; ratio xs:boolean; spectralUnit inline enumeration; reducedSize xs:boolean; "
     "jwWeighting xs:string; acousticWeighting tvb:acousticWeighting"},
    {"QZIndexStatusAttributeGroup", "true", "none",
     "groupName xs:string; overload xs:boolean; overloadRatio xs:double; averageNumber xs:int; "
     "averagingTime xs:double; date xs:string; time xs:string; dateTime xs:string; valid xs:boolean"},
    {"QZInterpolationAttributeGroup", "true", "none",
     "groupName xs:string; unit xs:string; reference xs:string; startValue xs:double; "
     "deltaValie xs:double; stopValue xs:double; refValue xs:double; size xs:double"},
    {"QZOverallBandsAttributeGroup", "true", "none",
     "groupName xs:string; wColumnKind inline enumeration; LColumn xs:double; aColumn xs:double; "
     "bColumn xs:double; cColumn xs:double; dColumn xs:double; qColumn xs:double; lColumn xs:double; "
     "nColumn xs:double"},
    {"QZSignalAttributeGroup", "true", "none",
     "groupName xs:string; name xs:string; amplitudeUnit xs:string; signalNo xs:int; "
     "acousticWeighting tvb:acousticWeighting; delay xs:double; dc xs:boolean; channelNo xs:int; "
     "inputRange xs:double; nbw xs:double; identifier xs:int; unit xs:string; "
     "inputSampleFrequency xs:double; samplingRatio xs:double; integration xs:string; frameNo xs:int; "
     "moduleNo xs:int; gainAdjust xs:double; inputType xs:string; highPass xs:string"},
    {"QZSliceAttributeGroup", "true", "none",
     "groupName xs:string; name xs:string; index xs:int; type inline enumeration; "
     "startValue xs:double; stopValue xs:double; centerValue xs:double; widthValue xs:double; "
     "noLines xs:double; references xs:string; defintion inline enumeration; jOmega xs:int; "
     "kind inline enumeration"},
    {"QZStatusAttributeGroup", "true", "none",
     "groupName xs:string; nextUpdate xs:int; overlapFailed xs:boolean; overrun xs:boolean; "
     "rejectNext xs:boolean; zStart xs:int"},
    {"QZTransducerAttributeGroup", "true", "none",
     "groupName xs:string; name xs:string; id xs:string; family xs:string; type xs:string; "
     "description xs:string; nomSensitivity xs:double; sensitivityUnit xs:string; "
     "sensitivity xs:double; calibrationTime xs:string"},
};

// --- Describing the document's declarations in the tables' words -------------

std::string Occurs(const xmlNode* particle) {
  std::string text;
  for (const auto& [name, value] : Attributes(particle)) {
    if (name == "minOccurs" || name == "maxOccurs") text += " " + name + "=\"" + value + "\"";
  }
  return text;
}

bool IsCompositor(const xmlNode* node) {
  std::string name = LocalName(node);
  return name == "all" || name == "sequence" || name == "choice";
}

std::string DescribeCompositor(const xmlNode* compositor);

std::string DescribeParticle(const xmlNode* particle) {
  if (IsCompositor(particle)) return DescribeCompositor(particle);
  std::string text = Attribute(particle, "name").value_or("(no name)");
  if (auto type = Attribute(particle, "type")) {
    text += " " + *type;
  } else if (!ChildElements(particle, "complexType").empty()) {
    text += " (inline type)";
  } else {
    text += " (no type)";
  }
  return text + Occurs(particle);
}

std::string DescribeCompositor(const xmlNode* compositor) {
  std::vector<std::string> particles;
  for (const xmlNode* child : ChildElements(compositor)) particles.push_back(DescribeParticle(child));
  return "xs:" + LocalName(compositor) + Occurs(compositor) + " of " + JoinOrDash(particles, ", ");
}

const xmlNode* ContentOf(const xmlNode* complexType) {
  for (const xmlNode* child : ChildElements(complexType)) {
    if (IsCompositor(child)) return child;
  }
  return nullptr;
}

std::string DescribeContent(const xmlNode* complexType) {
  const xmlNode* content = ContentOf(complexType);
  return content != nullptr ? DescribeCompositor(content) : "none";
}

std::string DescribeAttributes(const xmlNode* complexType) {
  std::vector<std::string> attributes;
  for (const xmlNode* attribute : ChildElements(complexType, "attribute")) {
    std::string text = Attribute(attribute, "name").value_or("(no name)");
    if (auto type = Attribute(attribute, "type")) {
      text += " " + *type;
    } else if (!ChildElements(attribute, "simpleType").empty()) {
      text += " inline enumeration";
    } else if (auto dataType = Attribute(attribute, "dt:type")) {
      text += " dt:type=\"" + *dataType + "\"";
    } else {
      text += " (no type)";
    }
    if (auto use = Attribute(attribute, "use")) text += " use=\"" + *use + "\"";
    attributes.push_back(text);
  }
  return JoinOrDash(attributes, "; ");
}

// The enumeration values of a simple type, quoted and in order.
std::string DescribeEnumeration(const xmlNode* simpleType) {
  std::vector<std::string> values;
  for (const xmlNode* restriction : ChildElements(simpleType, "restriction")) {
    EXPECT_EQ(Attribute(restriction, "base"), "xs:string");
    for (const xmlNode* value : ChildElements(restriction, "enumeration")) {
      values.push_back("\"" + Attribute(value, "value").value_or("") + "\"");
    }
  }
  return JoinOrDash(values, ", ");
}

void CollectErrors(void* sink, const xmlError* error) {
  static_cast<std::vector<std::string>*>(sink)->push_back(error->message != nullptr ? error->message : "?");
}

// Compiled from memory: nothing is loaded from elsewhere.
xmlSchemaPtr CompileSchema(const std::string& text, std::vector<std::string>* errors) {
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewMemParserCtxt(text.data(), static_cast<int>(text.size()));
  xmlSchemaSetParserStructuredErrors(parser, reinterpret_cast<xmlStructuredErrorFunc>(CollectErrors), errors);
  xmlSchemaPtr schema = xmlSchemaParse(parser);
  xmlSchemaFreeParserCtxt(parser);
  return schema;
}

// The validation errors of an instance document; none when it is valid.
std::vector<std::string> Validate(xmlSchemaPtr schema, const std::string& instance) {
  std::vector<std::string> errors;
  XmlDoc doc = ParseXml(instance);
  if (doc == nullptr) return {"not well-formed"};
  xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema);
  xmlSchemaSetValidStructuredErrors(validator, reinterpret_cast<xmlStructuredErrorFunc>(CollectErrors), &errors);
  if (xmlSchemaValidateDoc(validator, doc.get()) != 0 && errors.empty()) errors.push_back("invalid");
  xmlSchemaFreeValidCtxt(validator);
  return errors;
}

std::string InNamespace(const std::string& element, const std::string& content, const std::string& attributes = "") {
  return "<" + element + " xmlns=\"x-schema:Tavel-basic-datatypes.xml\"" + attributes + ">" + content + "</" + element +
         ">";
}

class BasicDatatypesSchema : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bytes_ = new std::string(ReadDocumentFile(kFileName));
    doc_ = ParseXml(*bytes_).release();
    ASSERT_NE(doc_, nullptr) << "not well-formed";
    errors_ = new std::vector<std::string>();
    schema_ = CompileSchema(*bytes_, errors_);
  }
  static void TearDownTestSuite() {
    xmlSchemaFree(schema_);
    xmlFreeDoc(doc_);
    delete bytes_;
    delete errors_;
  }

  static xmlNode* Root() { return xmlDocGetRootElement(doc_); }

  static std::map<std::string, const xmlNode*> Declarations(const char* kind) {
    std::map<std::string, const xmlNode*> byName;
    for (const xmlNode* node : ChildElements(Root(), kind)) byName[Attribute(node, "name").value_or("")] = node;
    return byName;
  }

  static inline std::string* bytes_ = nullptr;
  static inline xmlDoc* doc_ = nullptr;
  static inline std::vector<std::string>* errors_ = nullptr;
  static inline xmlSchemaPtr schema_ = nullptr;
};

TEST_F(BasicDatatypesSchema, IsAsciiWithLoneCarriageReturnsBetweenLines) {
  EXPECT_TRUE(IsAscii(*bytes_));
  EXPECT_EQ(LineEnds(*bytes_), "CR");
  EXPECT_EQ(bytes_->rfind(kDeclarationAndRoot, 0), 0u) << bytes_->substr(0, 400);
}

TEST_F(BasicDatatypesSchema, DeclaresItsTypesAndElementsInOrder) {
  std::vector<std::string> expected;
  for (const char* name : kComplexTypesInOrder) expected.push_back(std::string("complexType ") + name);
  for (const auto& row : kSimpleTypes) expected.push_back(std::string("simpleType ") + row.name);
  for (const auto& row : kGlobalElements) expected.push_back(std::string("element ") + row.name + " tvb:" + row.type);

  std::vector<std::string> actual;
  for (const xmlNode* node : ChildElements(Root())) {
    std::string text = LocalName(node) + " " + Attribute(node, "name").value_or("(no name)");
    if (auto type = Attribute(node, "type")) text += " " + *type;
    actual.push_back(text);
  }
  ASSERT_EQ(expected.size(), 81u);
  EXPECT_EQ(actual, expected);
}

TEST_F(BasicDatatypesSchema, TypesHaveTheirContentAndAttributes) {
  auto complexTypes = Declarations("complexType");
  for (const auto& row : kComplexTypes) {
    SCOPED_TRACE(row.name);
    auto found = complexTypes.find(row.name);
    ASSERT_NE(found, complexTypes.end());
    EXPECT_EQ(Attribute(found->second, "mixed").value_or("—"), row.mixed);
    EXPECT_EQ(DescribeContent(found->second), row.content);
    EXPECT_EQ(DescribeAttributes(found->second), row.attributes);
  }
}

TEST_F(BasicDatatypesSchema, InlineWindowPlacementPartsMatchTheNamedTypes) {
  auto complexTypes = Declarations("complexType");
  for (const xmlNode* part : ChildElements(ContentOf(complexTypes.at("WindowPlacement")))) {
    std::string name = Attribute(part, "name").value_or("");
    SCOPED_TRACE(name);
    auto inlineTypes = ChildElements(part, "complexType");
    ASSERT_EQ(inlineTypes.size(), 1u);
    EXPECT_EQ(DescribeAttributes(inlineTypes[0]), DescribeAttributes(complexTypes.at(name)));
  }
}

TEST_F(BasicDatatypesSchema, EnumerationsListTheirValuesInOrder) {
  auto simpleTypes = Declarations("simpleType");
  for (const auto& row : kSimpleTypes) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(simpleTypes.count(row.name), 1u);
    EXPECT_EQ(DescribeEnumeration(simpleTypes.at(row.name)), row.values);
  }
  auto complexTypes = Declarations("complexType");
  for (const auto& row : kInlineEnumerations) {
    SCOPED_TRACE(std::string(row.type) + "/" + row.attribute);
    const xmlNode* simpleType = nullptr;
    for (const xmlNode* attribute : ChildElements(complexTypes.at(row.type), "attribute")) {
      if (Attribute(attribute, "name") == row.attribute) simpleType = ChildElements(attribute, "simpleType").at(0);
    }
    ASSERT_NE(simpleType, nullptr);
    EXPECT_EQ(DescribeEnumeration(simpleType), row.values);
  }
}

// What holds for every declaration, also of the types whose members the
// tables above do not list.
TEST_F(BasicDatatypesSchema, EveryTypeFollowsTheSchemasConventions) {
  std::map<std::string, int> forms;
  std::vector<std::string> notMixed;
  for (const xmlNode* type : ChildElements(Root(), "complexType")) {
    const xmlNode* content = ContentOf(type);
    std::string form = content == nullptr ? "none" : "xs:" + LocalName(content) + Occurs(content);
    ++forms[form];
    if (content == nullptr && Attribute(type, "name") != "Stream") {
      EXPECT_FALSE(ChildElements(type, "attribute").empty()) << *Attribute(type, "name");
    }
    if (Attribute(type, "mixed") != "true") notMixed.push_back(Attribute(type, "name").value_or(""));
  }
  EXPECT_EQ(forms, (std::map<std::string, int>{
                       {"none", 27},
                       {"xs:all minOccurs=\"0\"", 28},
                       {"xs:sequence minOccurs=\"0\" maxOccurs=\"unbounded\"", 13},
                       {"xs:sequence minOccurs=\"0\"", 2},
                       {"xs:all minOccurs=\"1\" maxOccurs=\"1\"", 2},
                       {"xs:all minOccurs=\"1\"", 1},
                       {"xs:all", 1},
                   }));
  EXPECT_EQ(notMixed, (std::vector<std::string>{"asciiData", "QZQueryGenerator"}));

  // Typed local elements carry their type's name, with two exceptions; the
  // schema has no comments, no annotations and refers to no other schema.
  std::vector<std::string> renamed;
  std::vector<std::string> withUse;
  int dataTypeMarks = 0;
  std::vector<const xmlNode*> pending{Root()};
  while (!pending.empty()) {
    const xmlNode* node = pending.back();
    pending.pop_back();
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      EXPECT_NE(child->type, XML_COMMENT_NODE);
      if (child->type != XML_ELEMENT_NODE) continue;
      pending.push_back(child);
      std::string kind = LocalName(child);
      EXPECT_TRUE(child->ns != nullptr && std::string(reinterpret_cast<const char*>(child->ns->href)) == kXsdNamespace);
      EXPECT_NE(kind, "annotation");
      EXPECT_NE(kind, "import");
      EXPECT_NE(kind, "include");
      auto name = Attribute(child, "name");
      auto type = Attribute(child, "type");
      if (kind == "element" && node != Root() && type && *type != "tvb:" + *name)
        renamed.push_back(*name + " " + *type);
      if (kind == "attribute" && Attribute(child, "use")) withUse.push_back(*name);
      if (Attribute(child, "dt:type")) ++dataTypeMarks;
    }
  }
  std::sort(renamed.begin(), renamed.end());
  renamed.erase(std::unique(renamed.begin(), renamed.end()), renamed.end());
  EXPECT_EQ(renamed,
            (std::vector<std::string>{"QZAttributeGroups tvb:QZAttributeGroupsType", "QZData tvb:QZDataType"}));
  std::sort(withUse.begin(), withUse.end());
  EXPECT_EQ(withUse, (std::vector<std::string>{"detectorId", "length"}));
  EXPECT_EQ(dataTypeMarks, 1);
}

TEST_F(BasicDatatypesSchema, CompilesAsAnXmlSchema) {
  EXPECT_NE(schema_, nullptr);
  EXPECT_EQ(*errors_, std::vector<std::string>{});
}

TEST_F(BasicDatatypesSchema, GlobalElementsNeedLittleMoreThanTheirNames) {
  ASSERT_NE(schema_, nullptr);
  EXPECT_EQ(Validate(schema_, InNamespace("QZAttributeGroups", "")), std::vector<std::string>{});
  EXPECT_EQ(Validate(schema_, InNamespace("CTavelDemoDoc", "")), std::vector<std::string>{});
  EXPECT_EQ(Validate(schema_, InNamespace("QZData", "<data/>")), std::vector<std::string>{});
  // A data set without its data element is not one.
  EXPECT_NE(Validate(schema_, InNamespace("QZData", "")), std::vector<std::string>{});
  // Nor are documents outside the schema's namespace.
  EXPECT_NE(Validate(schema_, "<QZData><data/></QZData>"), std::vector<std::string>{});
}

TEST_F(BasicDatatypesSchema, TagVectorsNeedTheirLength) {
  ASSERT_NE(schema_, nullptr);
  const std::string withLength = "<data/><QZXTagVectors><QZTagVector length=\"3\"/></QZXTagVectors>";
  const std::string withoutLength = "<data/><QZXTagVectors><QZTagVector name=\"rpm\"/></QZXTagVectors>";
  EXPECT_EQ(Validate(schema_, InNamespace("QZData", withLength)), std::vector<std::string>{});
  EXPECT_NE(Validate(schema_, InNamespace("QZData", withoutLength)), std::vector<std::string>{});
}

TEST_F(BasicDatatypesSchema, AttributeTypesAreEnforcedExceptForXSize) {
  ASSERT_NE(schema_, nullptr);
  EXPECT_EQ(Validate(schema_, InNamespace("QZData", "<data/>", " xSize=\"any text\"")), std::vector<std::string>{});
  EXPECT_NE(Validate(schema_, InNamespace("QZData", "<data/>", " zSize=\"any text\"")), std::vector<std::string>{});
  const std::string logaritmic = "<data/><QZDataAxis axisType=\"Logaritmic\"/>";
  const std::string logarithmic = "<data/><QZDataAxis axisType=\"Logarithmic\"/>";
  EXPECT_EQ(Validate(schema_, InNamespace("QZData", logaritmic)), std::vector<std::string>{});
  EXPECT_NE(Validate(schema_, InNamespace("QZData", logarithmic)), std::vector<std::string>{});
}

// The encodings vocabulary is a type only: the same schema with the element
// declared validates encodings settings with it.
TEST_F(BasicDatatypesSchema, DescribesTheEncodingsVocabularyAsATypeOnly) {
  ASSERT_NE(schema_, nullptr);
  const std::string settings = InNamespace(
      "QZEncodings", "<Encodings><Encoding Active=\"1\" EncodingType=\"version='1.0' encoding='UTF-8'\"/></Encodings>");
  EXPECT_NE(Validate(schema_, settings), std::vector<std::string>{});

  std::string withElement = *bytes_;
  withElement.insert(withElement.rfind("</xs:schema>"), "<xs:element name=\"QZEncodings\" type=\"tvb:QZEncodings\"/>");
  std::vector<std::string> errors;
  xmlSchemaPtr encodings = CompileSchema(withElement, &errors);
  ASSERT_NE(encodings, nullptr) << testing::PrintToString(errors);

  EXPECT_EQ(Validate(encodings, settings), std::vector<std::string>{});
  EXPECT_EQ(Validate(encodings, InNamespace("QZEncodings", "")), std::vector<std::string>{});
  // Each child at most once; Active an integer.
  EXPECT_NE(Validate(encodings, InNamespace("QZEncodings", "<Encodings/><Encodings/>")), std::vector<std::string>{});
  EXPECT_NE(Validate(encodings, InNamespace("QZEncodings", "<Encodings><Encoding/><Encoding/></Encodings>")),
            std::vector<std::string>{});
  EXPECT_NE(Validate(encodings, InNamespace("QZEncodings", "<Encodings><Encoding Active=\"yes\"/></Encodings>")),
            std::vector<std::string>{});
  xmlSchemaFree(encodings);
}

}  // namespace
