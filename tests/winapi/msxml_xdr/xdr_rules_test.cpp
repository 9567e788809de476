// Each rule of the schema language with instances that keep and break it.
#include <gtest/gtest.h>

#include "xdr_errors.h"
#include "xdr_test_support.h"

using namespace xdrtest;
namespace xdr = qzwin::msxml::xdr;

namespace {

HRESULT Check(std::string_view declarations, std::string_view instance) {
  Result r = Validate(WithSchema(declarations, instance));
  return r.hr;
}

const char kLeaves[] = "<ElementType name='a'/><ElementType name='b'/><ElementType name='c'/>";

std::string Type(std::string_view attributes, std::string_view body = "") {
  return std::string(kLeaves) + "<ElementType name='t' " + std::string(attributes) + ">" +
         std::string(body) + "</ElementType>";
}

TEST(XdrContent, KindsOfContent) {
  // empty: white space only.
  EXPECT_EQ(Check(Type("content='empty'"), "<i:t> </i:t>"), S_OK);
  EXPECT_EQ(Check(Type("content='empty'"), "<i:t>x</i:t>"), xdr::kIllegalText);
  EXPECT_EQ(Check(Type("content='empty'"), "<i:t><i:a/></i:t>"), xdr::kInvalidContent);
  // textOnly: text; elements only through an open model.
  EXPECT_EQ(Check(Type("content='textOnly'"), "<i:t>x</i:t>"), S_OK);
  EXPECT_EQ(Check(Type("content='textOnly'"), "<i:t>x<i:a/></i:t>"), S_OK);
  EXPECT_EQ(Check(Type("content='textOnly' model='closed'"), "<i:t>x<i:a/></i:t>"),
            xdr::kInvalidContent);
  // eltOnly: no text.
  EXPECT_EQ(Check(Type("content='eltOnly'", "<element type='a'/>"), "<i:t>\n <i:a/>\n</i:t>"), S_OK);
  Result r = Validate(WithSchema(Type("content='eltOnly'", "<element type='a'/>"),
                                 "<i:t><i:a/>text</i:t>"));
  EXPECT_EQ(r.hr, xdr::kIllegalText);
  EXPECT_EQ(r.error.reason, "The schema of this element allows no text in it.");
  // mixed is the default: text and the named elements in any order.
  EXPECT_EQ(Check(Type("", "<element type='a'/><element type='b'/>"), "<i:t>x<i:b/>y<i:a/></i:t>"),
            S_OK);
}

TEST(XdrContent, MixedContentCountsOccurrences) {
  std::string type = Type("content='mixed'", "<element type='a' maxOccurs='1'/>"
                                             "<element type='b' minOccurs='0' maxOccurs='*'/>");
  EXPECT_EQ(Check(type, "<i:t><i:b/><i:a/><i:b/></i:t>"), S_OK);
  EXPECT_EQ(Check(type, "<i:t>text <i:b/></i:t>"), xdr::kElementNotComplete);  // a is required
  Result r = Validate(WithSchema(type, "<i:t><i:a/><i:a/></i:t>"));
  EXPECT_EQ(r.hr, xdr::kInvalidContent);  // at most one a
  EXPECT_EQ(r.error.reason, "The element's content does not match its schema. Expected here: b.");
  EXPECT_EQ(NodeName(r.error.node), "a");
  EXPECT_EQ(r.error.node->prev->prev, nullptr);  // the second a
}

TEST(XdrContent, Orders) {
  const char refs[] = "<element type='a'/><element type='b' minOccurs='0'/><element type='c'/>";
  // seq is the default for eltOnly.
  std::string seq = Type("content='eltOnly'", refs);
  EXPECT_EQ(Check(seq, "<i:t><i:a/><i:b/><i:c/></i:t>"), S_OK);
  EXPECT_EQ(Check(seq, "<i:t><i:a/><i:c/></i:t>"), S_OK);
  Result r = Validate(WithSchema(seq, "<i:t><i:c/><i:a/></i:t>"));
  EXPECT_EQ(r.hr, xdr::kInvalidContent);
  EXPECT_EQ(r.error.reason, "The element's content does not match its schema. Expected here: a.");
  EXPECT_EQ(Check(seq, "<i:t><i:a/><i:b/></i:t>"), xdr::kElementNotComplete);

  std::string one = Type("content='eltOnly' order='one'", refs);
  EXPECT_EQ(Check(one, "<i:t><i:c/></i:t>"), S_OK);
  EXPECT_EQ(Check(one, "<i:t/>"), S_OK);  // b may be absent, so nothing is a choice of b
  EXPECT_EQ(Check(one, "<i:t><i:a/><i:c/></i:t>"), xdr::kInvalidContent);

  std::string many = Type("content='eltOnly' order='many'", refs);
  EXPECT_EQ(Check(many, "<i:t><i:c/><i:a/></i:t>"), S_OK);
  EXPECT_EQ(Check(many, "<i:t><i:c/></i:t>"), xdr::kElementNotComplete);
}

TEST(XdrContent, GroupsAndRepetition) {
  // (a, (b | c)*)+ : groups nest, and repetition may re-enter a sequence.
  std::string type = Type("content='eltOnly'",
                          "<group maxOccurs='*'><element type='a'/>"
                          "<group order='one' minOccurs='0' maxOccurs='*'>"
                          "<element type='b'/><element type='c'/></group></group>");
  EXPECT_EQ(Check(type, "<i:t><i:a/></i:t>"), S_OK);
  EXPECT_EQ(Check(type, "<i:t><i:a/><i:c/><i:b/><i:a/><i:b/></i:t>"), S_OK);
  EXPECT_EQ(Check(type, "<i:t><i:b/></i:t>"), xdr::kInvalidContent);
  EXPECT_EQ(Check(type, "<i:t/>"), xdr::kElementNotComplete);
}

TEST(XdrModel, OpenAndClosed) {
  std::string declared = "<ElementType name='d' content='empty'/>";
  std::string open = declared + Type("content='eltOnly'", "<element type='a'/>");
  std::string closed = declared + Type("content='eltOnly' model='closed'", "<element type='a'/>");
  // Open: declared elements of the schema and elements of other namespaces may be added...
  EXPECT_EQ(Check(open, "<i:t><i:d/><i:a/><o:x xmlns:o='urn:o'><o:y/></o:x></i:t>"), S_OK);
  EXPECT_EQ(Check(open, "<i:t><i:a/><plain/></i:t>"), S_OK);
  // ...and are still checked against their own type.
  EXPECT_EQ(Check(open, "<i:t><i:d>x</i:d><i:a/></i:t>"), xdr::kIllegalText);
  // Undeclared names of the schema's namespace never pass.
  EXPECT_EQ(Check(open, "<i:t><i:zz/><i:a/></i:t>"), xdr::kElementUndeclared);
  // An element the model names keeps its place.
  EXPECT_EQ(Check(open, "<i:t><i:a/><i:a/></i:t>"), xdr::kInvalidContent);
  // Closed: only what the model names.
  EXPECT_EQ(Check(closed, "<i:t><i:d/><i:a/></i:t>"), xdr::kInvalidContent);
  EXPECT_EQ(Check(closed, "<i:t><i:a/><o:x xmlns:o='urn:o'/></i:t>"), xdr::kInvalidContent);
  EXPECT_EQ(Check(closed, "<i:t xmlns:o='urn:o' o:z='1'><i:a/></i:t>"), xdr::kAttributeNotDefined);
  EXPECT_EQ(Check(open, "<i:t xmlns:o='urn:o' o:z='1'><i:a/></i:t>"), S_OK);
  EXPECT_EQ(Check(closed, "<i:t xml:lang='en'><i:a/></i:t>"), S_OK);
}

TEST(XdrDatatypes, ElementText) {
  std::string type = "<ElementType name='n' dt:type='i4'/>";
  EXPECT_EQ(Check(type, "<i:n> -42 </i:n>"), S_OK);
  Result r = Validate(WithSchema(type, "<i:n>4x</i:n>"));
  EXPECT_EQ(r.hr, xdr::kDatatypeParse);
  EXPECT_EQ(r.error.reason, "The value '4x' is not of type i4 in element 'i:n'.");
  // A data type makes the content text only.
  EXPECT_EQ(Check("<ElementType name='n' dt:type='string' model='closed'/>" + std::string(kLeaves),
                  "<i:n><i:a/></i:n>"),
            xdr::kInvalidContent);
  EXPECT_EQ(Check("<ElementType name='n'><datatype dt:type='boolean'/></ElementType>",
                  "<i:n>2</i:n>"),
            xdr::kDatatypeParse);
}

TEST(XdrAttributes, TypesValuesAndRequired) {
  std::string decls =
      "<AttributeType name='color' dt:type='enumeration' dt:values=' red  green'/>"
      "<AttributeType name='count' dt:type='int'/>"
      "<AttributeType name='when' dt:type='dateTime'/>"
      "<AttributeType name='size' dt:type='number' required='yes'/>"
      "<ElementType name='e' model='closed'>"
      "<AttributeType name='color' dt:type='boolean'/>"  // the local one wins
      "<attribute type='color'/><attribute type='count' required='yes'/>"
      "<attribute type='when'/><attribute type='size' required='no'/>"
      "</ElementType>"
      "<ElementType name='f'><attribute type='color'/></ElementType>";
  EXPECT_EQ(Check(decls, "<i:e color='1' count='7' when='1988-04-07T18:39:09' size='-1.5e3'/>"),
            S_OK);
  EXPECT_EQ(Check(decls, "<i:e count='7'/>"), S_OK);  // size is optional on e
  EXPECT_EQ(Check(decls, "<i:e/>"), xdr::kRequiredAttributeMissing);
  EXPECT_EQ(Check(decls, "<i:e count='7' color='red'/>"), xdr::kDatatypeParse);
  EXPECT_EQ(Check(decls, "<i:e count='7' when='1988-02-30'/>"), xdr::kDatatypeParse);
  EXPECT_EQ(Check(decls, "<i:f color='green'/>"), S_OK);
  Result r = Validate(WithSchema(decls, "<i:f color='blue'/>"));
  EXPECT_EQ(r.hr, xdr::kAttributeValue);
  EXPECT_EQ(r.error.reason, "Attribute 'color' holds a value that its schema does not allow.");
  EXPECT_EQ(NodeName(r.error.node), "f");
  // Declared but not referred to: the open model admits it, checked by its type.
  EXPECT_EQ(Check(decls, "<i:f count='3'/>"), S_OK);
  EXPECT_EQ(Check(decls, "<i:f count='x'/>"), xdr::kDatatypeParse);
  EXPECT_EQ(Check(decls, "<i:e count='7' undeclared='1'/>"), xdr::kAttributeNotDefined);
}

TEST(XdrAttributes, DefaultsSatisfyRequired) {
  std::string decls =
      "<AttributeType name='mode' dt:type='enumeration' dt:values='Yes No' default='Yes'/>"
      "<ElementType name='e'><attribute type='mode' required='yes'/></ElementType>";
  EXPECT_EQ(Check(decls, "<i:e/>"), S_OK);
}

TEST(XdrInstance, DeepNestingDoesNotExhaustTheStack) {
  Doc doc = Parse(WithSchema("<ElementType name='n'><element type='n' minOccurs='0'/></ElementType>",
                             "<i:n/>"));
  xmlNodePtr node = xmlDocGetRootElement(doc.get())->last;
  for (int i = 0; i < 200000; ++i) node = xmlNewChild(node, node->ns, BAD_CAST "n", nullptr);
  EXPECT_EQ(qzwin::msxml::ValidateInlineXdr(doc.get(), nullptr), S_OK);
  xmlNewChild(node, node->ns, BAD_CAST "zz", nullptr);
  qzwin::msxml::XdrError error;
  EXPECT_EQ(qzwin::msxml::ValidateInlineXdr(doc.get(), &error), xdr::kElementUndeclared);
  EXPECT_EQ(NodeName(error.node), "zz");
  // Unlink the chain level by level so that freeing it needs no deep recursion either.
  while (node->parent && node->parent->type == XML_ELEMENT_NODE) {
    xmlNodePtr parent = node->parent;
    xmlUnlinkNode(node);
    xmlFreeNode(node);
    node = parent;
  }
}

}  // namespace
