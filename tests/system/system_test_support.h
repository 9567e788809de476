// Shared by the tests of the system's own code: a COM-initialised fixture,
// files and conversions.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "errors/XMLDOMPtr.h"

namespace systemtest {

class ComTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(CoInitialize(nullptr), 0); }
  void TearDown() override { CoUninitialize(); }
};

// An inline-schema document in the cache file's shape: QZSchemas needs at
// least one QZSchema.
extern const char* const kCacheText;

std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);
std::string Narrow(const _bstr_t& text);
// The DOM as text, for checking what the parser received.
std::string XmlOf(IXMLDOMNode* node);
// A document with the system's settings and text loaded by loadXML.
IXMLDOMDocument2Ptr LoadedDocument(const char* text);

}  // namespace systemtest
