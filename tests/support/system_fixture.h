// Shared by the tests of the system's own code: a COM-initialised fixture,
// the schema cache file's text and documents made as the system makes them.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "errors/XMLDOMPtr.h"
#include "support/files.h"
#include "support/narrow.h"

namespace systemtest {

using qztest::Narrow;
using qztest::ReadFile;
using qztest::WriteFile;

class ComTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(CoInitialize(nullptr), 0); }
  void TearDown() override { CoUninitialize(); }
};

// The schema cache file with one entry; its list needs at least one.
std::string CacheText();
// The same file with its list left empty, which its inline schema refuses.
std::string CacheTextWithoutEntries();

// The DOM as text, for checking what the parser received.
std::string XmlOf(IXMLDOMNode* node);
// A document with the system's settings and text loaded by loadXML.
IXMLDOMDocument2Ptr LoadedDocument(const char* text);

}  // namespace systemtest
