// The shapes the service keeps on disk: the schema cache file and the
// encodings settings file, each carrying its own inline schema.
#include <gtest/gtest.h>

#include "support/cache_file_text.h"
#include "xdr_errors.h"
#include "xdr_test_support.h"

using namespace xdrtest;
using namespace qztest;
namespace xdr = qzwin::msxml::xdr;

namespace {

// An entry as RegisterSchema appends it: in the namespace of the basic data types schema.
const char kRegisteredEntry[] =
    "\t\t<QZSchema xmlns=\"x-schema:Tavel-basic-datatypes.xml\" urn=\"x-schema:My.xsd\" "
    "Filename=\"C:\\Schemas\\My.xsd\"/>\r\n";

TEST(XdrCacheFile, DefaultFileIsValid) {
  std::string file = CacheFile(kDefaultCacheEntry);
  ASSERT_EQ(file.size(), 918u);  // the shipped default, byte for byte
  Result r = Validate(file);
  EXPECT_EQ(r.hr, S_OK) << r.error.reason;
}

TEST(XdrCacheFile, ListWithoutEntryIsIncomplete) {
  Result r = Validate(CacheFile(""));
  EXPECT_EQ(r.hr, xdr::kElementNotComplete);
  EXPECT_EQ(r.error.code, xdr::kElementNotComplete);
  EXPECT_EQ(NodeName(r.error.node), "QZSchemas");
  EXPECT_EQ(r.error.reason,
            "The element ends before its schema's content is complete. Expected here: QZSchema.");
}

TEST(XdrCacheFile, EntryWithoutRequiredAttributeIsInvalid) {
  Result r = Validate(CacheFile(std::string(kDefaultCacheEntry) +
                                "\t\t<QZSchema urn=\"x-schema:Other.xsd\"/>\r\n"));
  EXPECT_EQ(r.hr, xdr::kRequiredAttributeMissing);
  EXPECT_EQ(r.error.reason, "The element lacks the required attribute 'Filename'.");
  ASSERT_NE(r.error.node, nullptr);
  EXPECT_EQ(NodeName(r.error.node), "QZSchema");
  EXPECT_EQ(xmlGetLineNo(r.error.node), 17);  // the second entry's line
}

TEST(XdrCacheFile, OpenModelAdmitsEntriesOfAnotherNamespace) {
  Result r = Validate(CacheFile(std::string(kDefaultCacheEntry) + kRegisteredEntry));
  EXPECT_EQ(r.hr, S_OK) << r.error.reason;
  // ...but they do not count for minOccurs.
  r = Validate(CacheFile(kRegisteredEntry));
  EXPECT_EQ(r.hr, xdr::kElementNotComplete);
}

TEST(XdrCacheFile, ClosedModelRefusesEntriesOfAnotherNamespace) {
  Result r = Validate(CacheFile(std::string(kDefaultCacheEntry) + kRegisteredEntry, /*closed=*/true));
  EXPECT_EQ(r.hr, xdr::kInvalidContent);
  EXPECT_EQ(NodeName(r.error.node), "QZSchema");
  EXPECT_EQ(xmlGetLineNo(r.error.node), 17);
}

TEST(XdrCacheFile, ThousandEntriesAreValid) {
  std::string entries;
  for (int i = 0; i < 1000; ++i)
    entries += "<QZSchema urn=\"x-schema:S" + std::to_string(i) + ".xsd\" Filename=\"C:\\S.xsd\"/>";
  Result r = Validate(CacheFile(entries));
  EXPECT_EQ(r.hr, S_OK) << r.error.reason;
}

TEST(XdrCacheFile, WhichSchemaApplies) {
  // No element refers to an inline schema: nothing to validate.
  EXPECT_EQ(Validate("<a xmlns='urn:x'><b/></a>").hr, S_FALSE);
  // x-schema: without '#' is an ordinary namespace.
  EXPECT_EQ(Validate("<a xmlns='x-schema:Tavel-basic-datatypes.xml'><b/></a>").hr, S_FALSE);
  // A reference to a schema that the document does not carry.
  Result r = Validate("<a><b xmlns='x-schema:#Missing'/></a>");
  EXPECT_EQ(r.hr, xdr::kSchemaNotFound);
  EXPECT_EQ(NodeName(r.error.node), "b");
  // A schema may stand after the elements that use it; the first of two namesakes counts.
  r = Validate(
      "<a><b xmlns='x-schema:#S'/>"
      "<Schema name='S' xmlns='urn:schemas-microsoft-com:xml-data'><ElementType name='b'/></Schema>"
      "<Schema name='S' xmlns='urn:schemas-microsoft-com:xml-data'/></a>");
  EXPECT_EQ(r.hr, S_OK) << r.error.reason;
  // The schema's own subtree is not instance content, even in a bound namespace.
  r = Validate(
      "<Schema name='S' xmlns='urn:schemas-microsoft-com:xml-data'>"
      "<ElementType name='b'/><x:junk xmlns:x='x-schema:#S'/></Schema>");
  EXPECT_EQ(r.hr, S_FALSE);
}

const char kEncodingsFile[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<QZEncodings>\r\n"
    " <Schema name=\"Encodingtypes\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
    "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\r\n"
    "  <AttributeType name=\"Active\" dt:type=\"i4\" default=\"0\"/>\r\n"
    "  <AttributeType name=\"EncodingType\" dt:type=\"string\" required=\"yes\"/>\r\n"
    "  <ElementType name=\"Encoding\" content=\"empty\" model=\"closed\">\r\n"
    "   <attribute type=\"Active\"/><attribute type=\"EncodingType\"/>\r\n"
    "  </ElementType>\r\n"
    "  <ElementType name=\"Encodings\" content=\"eltOnly\" model=\"closed\">\r\n"
    "   <element type=\"Encoding\" minOccurs=\"0\" maxOccurs=\"*\"/>\r\n"
    "  </ElementType>\r\n"
    " </Schema>\r\n"
    " <Encodings xmlns=\"x-schema:#Encodingtypes\">\r\n"
    "  <Encoding Active=\"ACTIVE\" EncodingType=\"version='1.0' encoding ='ISO-8859-1'\"/>\r\n"
    "  <Encoding EncodingType=\"version='1.0' encoding='UTF-8'\"/>\r\n"
    " </Encodings>\r\n"
    "</QZEncodings>\r\n";

std::string EncodingsFile(const std::string& active) {
  std::string file = kEncodingsFile;
  file.replace(file.find("ACTIVE"), 6, active);
  return file;
}

TEST(XdrEncodingsFile, ValidatesTheActiveFlag) {
  Result r = Validate(EncodingsFile("1"));
  EXPECT_EQ(r.hr, S_OK) << r.error.reason;

  r = Validate(EncodingsFile("yes"));
  EXPECT_EQ(r.hr, xdr::kDatatypeParse);
  EXPECT_EQ(r.error.reason, "The value 'yes' is not of type i4 in attribute 'Active'.");
  EXPECT_EQ(xmlGetLineNo(r.error.node), 14);
}

TEST(XdrEncodingsFile, DefaultsAreAddedOnRequest) {
  Doc doc = Parse(EncodingsFile("1"));
  xmlNodePtr encodings = xmlDocGetRootElement(doc.get())->children->next->next->next;
  ASSERT_EQ(NodeName(encodings), "Encodings");
  xmlNodePtr second = encodings->children->next->next->next;
  ASSERT_EQ(NodeName(second), "Encoding");

  ASSERT_EQ(qzwin::msxml::ValidateInlineXdr(doc.get(), nullptr), S_OK);
  EXPECT_FALSE(xmlHasProp(second, BAD_CAST "Active"));  // plain validation leaves the tree alone

  ASSERT_EQ(qzwin::msxml::ApplyInlineXdrDefaults(doc.get(), nullptr), S_OK);
  xmlChar* active = xmlGetNoNsProp(second, BAD_CAST "Active");
  ASSERT_NE(active, nullptr);
  EXPECT_STREQ(reinterpret_cast<char*>(active), "0");
  xmlFree(active);
  // The first entry keeps its own value.
  active = xmlGetNoNsProp(encodings->children->next, BAD_CAST "Active");
  EXPECT_STREQ(reinterpret_cast<char*>(active), "1");
  xmlFree(active);
  // Applying again adds nothing twice, and the result is still valid.
  EXPECT_EQ(qzwin::msxml::ApplyInlineXdrDefaults(doc.get(), nullptr), S_OK);
  EXPECT_EQ(qzwin::msxml::ValidateInlineXdr(doc.get(), nullptr), S_OK);
}

}  // namespace
