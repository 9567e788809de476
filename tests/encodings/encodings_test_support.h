// A platform with the resolver installed and an encodings file in its
// shared directory, written from the example file with other entries.
#pragma once

#include <filesystem>
#include <string>

#include <comdef.h>
#include <gtest/gtest.h>
#include <msxml6.h>

#include "errors/XMLDOMPtr.h"

namespace encodingstest {

class EncodingsTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The example file as it is shipped.
  static std::string ExampleFile();
  // The example file with entries in place of its Encoding lines.
  static std::string ExampleWith(const std::string& entries);
  static void WriteEncodings(const std::string& bytes);
  static void RemoveEncodings();

  // An empty document, or one loaded from text, made as the system makes
  // its documents.
  static IXMLDOMDocument2Ptr NewDocument(const char* xml = nullptr);
  static long ChildCount(IXMLDOMNode* node);
  static std::string XmlOf(IXMLDOMNode* node);
};

// An Encoding line; null leaves the attribute out.
std::string Entry(const char* active, const char* encodingType);

std::string Narrow(BSTR text);

}  // namespace encodingstest
