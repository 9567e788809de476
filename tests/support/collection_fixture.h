// Schema files, cache documents and collections for the tests of the schema
// collection, on a platform prepared as for the cache tests.
#pragma once

#include <string>
#include <vector>

#include "support/cache_fixture.h"
#include "errors/XMLDOMPtr.h"
#include "support/narrow.h"

namespace collectiontest {

using cachetest::Entry;
using cachetest::Posix;
using cachetest::Schemas;

// The two schemas the tests list, by their URNs.
constexpr char kMeterUrn[] = "x-schema:Meter.xsd";
constexpr char kProbeUrn[] = "x-schema:Probe.xsd";

// An XSD whose one global element rootName (with a required attribute id and
// any number of decimal Reading children) lies in targetNamespace.
std::string XsdText(const std::string& targetNamespace, const char* rootName);

// An old-style XDR schema, which the collection does not take.
extern const char* const kXdrText;

class CollectionTest : public cachetest::CacheTest {
 protected:
  void SetUp() override;

  // Writes bytes to a file of that name in this test's own folder and
  // returns its Windows path.
  std::string WriteSchemaFile(const char* name, const std::string& bytes);

  // The URNs a collection holds, in its order.
  static std::vector<std::string> UrnsOf(IXMLDOMSchemaCollection* collection);

  // A cache document made from text without validation, as a hand-edited
  // file may be.
  static IXMLDOMDocument2Ptr UncheckedCacheDocument(const std::string& text);

 private:
  std::string folder_;
};

using qztest::Narrow;

}  // namespace collectiontest
