// The basic datatypes schema as XML Schema: it compiles, and it accepts and
// refuses the documents its declarations describe. Its bytes are fixed by
// the documents' fingerprints (document_identity_test.cpp).
#include <gtest/gtest.h>
#include <libxml/xmlschemas.h>

#include <string>
#include <vector>

#include "documents.h"

namespace {

using namespace qzdocs;

constexpr char kFileName[] = "Tavel-basic-datatypes.xml";

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
    errors_ = new std::vector<std::string>();
    schema_ = CompileSchema(*bytes_, errors_);
  }
  static void TearDownTestSuite() {
    xmlSchemaFree(schema_);
    delete bytes_;
    delete errors_;
  }

  static inline std::string* bytes_ = nullptr;
  static inline std::vector<std::string>* errors_ = nullptr;
  static inline xmlSchemaPtr schema_ = nullptr;
};


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
