// Schemas that do not compile give a failing result with the node at fault.
#include <gtest/gtest.h>

#include "xdr_errors.h"
#include "xdr_test_support.h"

using namespace xdrtest;
namespace xdr = qzwin::msxml::xdr;

namespace {

struct Fault {
  const char* declarations;
  HRESULT code;
  const char* node;  // the schema element named in the error
};

TEST(XdrSchemaFaults, EachFaultHasItsCodeAndNode) {
  const Fault faults[] = {
      {"<ElementType name='e' content='full'/>", xdr::kContentUnknown, "ElementType"},
      {"<ElementType name='e' order='seq'/>", xdr::kMixedNeedsOrderMany, "ElementType"},
      {"<ElementType name='e' content='eltOnly' dt:type='int'/>", xdr::kDatatypeNeedsTextOnly,
       "ElementType"},
      {"<ElementType name='e' dt:type='colour'/>", xdr::kElementDatatypeUnknown, "ElementType"},
      {"<ElementType name='e'><element type='nowhere'/></ElementType>",
       xdr::kElementTypeUndefined, "element"},
      {"<ElementType name='e'><element type='e' maxOccurs='2'/></ElementType>",
       xdr::kMaxOccursInvalid, "element"},
      {"<ElementType name='e'><element type='e' maxOccurs='many'/></ElementType>",
       xdr::kMaxOccursInvalid, "element"},
      {"<ElementType name='e' content='empty'><element type='e'/></ElementType>",
       xdr::kElementInEmpty, "element"},
      {"<ElementType name='e' content='textOnly'><group><element type='e'/></group></ElementType>",
       xdr::kGroupInTextOnly, "group"},
      {"<ElementType name='e'><attribute type='nothing'/></ElementType>",
       xdr::kAttributeTypeUndeclared, "attribute"},
      {"<AttributeType name='a' dt:type='enumeration'/><ElementType name='e'/>",
       xdr::kEnumerationWithoutValues, "AttributeType"},
      {"<AttributeType name='a' dt:type='enumeration' dt:values='x y' default='z'/>"
       "<ElementType name='e'/>",
       xdr::kDefaultValueInvalid, "AttributeType"},
      {"<AttributeType name='a' dt:type='i1'/><ElementType name='e'>"
       "<attribute type='a' default='300'/></ElementType>",
       xdr::kDefaultValueInvalid, "attribute"},
      {"<ElementType name='e' dt:type='int'><datatype dt:type='int'/></ElementType>",
       xdr::kDatatypeDuplicated, "datatype"},
      {"<Element name='e'/>", xdr::kSchemaElementNotSupported, "Element"},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.declarations);
    Result r = Validate(WithSchema(fault.declarations, "<i:e/>"));
    EXPECT_EQ(r.hr, fault.code) << r.error.reason;
    EXPECT_EQ(NodeName(r.error.node), fault.node);
    EXPECT_FALSE(r.error.reason.empty());
  }
}

TEST(XdrSchemaFaults, SchemaIsCompiledOnlyWhenUsed) {
  // A broken schema that no element refers to is not an error.
  EXPECT_EQ(Validate(WithSchema("<ElementType name='e' content='full'/>", "<e/>")).hr, S_FALSE);
}

TEST(XdrSchemaFaults, RecursionIsBounded) {
  // A type that contains itself is fine: instances are finite.
  EXPECT_EQ(
      Validate(WithSchema("<ElementType name='e'><element type='e' minOccurs='0'/></ElementType>",
                          "<i:e><i:e><i:e/></i:e></i:e>"))
          .hr,
      S_OK);
  // Groups nested without end are refused, not followed.
  std::string groups;
  for (int i = 0; i < 5000; ++i) groups += "<group>";
  groups += "<element type='e'/>";
  for (int i = 0; i < 5000; ++i) groups += "</group>";
  std::string xml = WithSchema("<ElementType name='e' content='eltOnly'>" + groups +
                                   "</ElementType>",
                               "<i:e/>");
  Doc doc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "deep.xml", nullptr,
                        XML_PARSE_HUGE));
  ASSERT_NE(doc, nullptr);
  qzwin::msxml::XdrError error;
  EXPECT_EQ(qzwin::msxml::ValidateInlineXdr(doc.get(), &error), xdr::kSchemaElementNotSupported);
  EXPECT_EQ(NodeName(error.node), "group");
}

TEST(XdrSchemaFaults, LongValuesAreCutInReasons) {
  std::string value(5000, 'v');
  Result r = Validate(WithSchema("<ElementType name='e' content='" + value + "'/>", "<i:e/>"));
  EXPECT_EQ(r.hr, xdr::kContentUnknown);
  EXPECT_LT(r.error.reason.size(), 300u);
  EXPECT_NE(r.error.reason.find("vvv...'"), std::string::npos);
}

}  // namespace
