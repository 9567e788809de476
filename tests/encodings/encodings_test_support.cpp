#include "encodings_test_support.h"

#include <fstream>
#include <sstream>

#include <objbase.h>
#include <qzwin/platform.h>

#include "support/resolver_installer.h"
#include "schemas/CreateDocument.h"

namespace encodingstest {
namespace {

// Where the resolver puts the encodings file by default.
constexpr const char* kEncodingsPath = "C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzencodings.xml";

std::filesystem::path EncodingsFile() {
  std::string posix;
  EXPECT_TRUE(qzwin::ToPosixPath(kEncodingsPath, &posix));
  return posix;
}

}  // namespace

void EncodingsTest::SetUp() {
  ASSERT_GE(CoInitialize(nullptr), 0);
  ASSERT_EQ(S_OK, resolvertest::RegisterResolver());
  resolvertest::SetCommonDirectory(nullptr);
  std::filesystem::create_directories(EncodingsFile().parent_path());
  WriteEncodings(ExampleFile());
}

void EncodingsTest::TearDown() { CoUninitialize(); }

std::string EncodingsTest::ExampleFile() {
  std::ifstream in(QZ_EXAMPLES_DIR "/qzencodings.xml", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string EncodingsTest::ExampleWith(const std::string& entries) {
  const std::string example = ExampleFile();
  const size_t begin = example.find("\t\t<Encoding ");
  const size_t end = example.find("\t</Encodings>");
  EXPECT_NE(std::string::npos, begin);
  return example.substr(0, begin) + entries + example.substr(end);
}

void EncodingsTest::WriteEncodings(const std::string& bytes) {
  std::ofstream(EncodingsFile(), std::ios::binary) << bytes;
}

void EncodingsTest::RemoveEncodings() { std::filesystem::remove(EncodingsFile()); }

IXMLDOMDocument2Ptr EncodingsTest::NewDocument(const char* xml) {
  IXMLDOMDocument2Ptr doc;
  EXPECT_EQ(S_OK, CreateDocument(&doc));
  if (xml != nullptr) {
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(S_OK, doc->loadXML(_bstr_t(xml), &ok));
  }
  return doc;
}

long EncodingsTest::ChildCount(IXMLDOMNode* node) {
  IXMLDOMNodeListPtr children;
  LONG length = -1;
  if (SUCCEEDED(node->get_childNodes(&children))) children->get_length(&length);
  return length;
}

std::string EncodingsTest::XmlOf(IXMLDOMNode* node) {
  BSTR xml = nullptr;
  node->get_xml(&xml);
  std::string text = Narrow(xml);
  SysFreeString(xml);
  return text;
}

std::string Entry(const char* active, const char* encodingType) {
  std::string line = "\t\t<Encoding";
  if (active != nullptr) line += std::string(" Active=\"") + active + "\"";
  if (encodingType != nullptr) line += std::string(" EncodingType=\"") + encodingType + "\"";
  return line + "/>\r\n";
}

}  // namespace encodingstest
