// A platform with the default schema cache (its one entry naming the basic
// data types schema in the system directory), a folder of schema files, and
// the two registration calls with their answers as narrow text.
#pragma once

#include <string>

#include "support/cache_fixture.h"

namespace cachetest {

constexpr char kBasicDatatypesEntry[] =
    "\t\t<QZSchema urn=\"x-schema:Tavel-basic-datatypes.xml\" "
    "Filename=\"C:\\WINDOWS\\system32\\Tavel-basic-datatypes.xml\"/>\r\n";

// What RegisterSchemaFile returned and the sentence it handed out.
struct Answer {
  HRESULT hr;
  std::string sentence;
};

class RegistrationTest : public CacheTest {
 protected:
  void SetUp() override;

  // Makes a small XSD file of that name (a relative path below this test's
  // folder) for targetNamespace and returns its Windows path.
  std::string SchemaFile(const std::string& name, const std::string& targetNamespace = "urn:test");
  // The Windows path of a name below this test's folder, made or not.
  std::string PathOf(const std::string& name) const;

  static Answer Register(const std::string& path);
  static HRESULT Unregister(const std::string& path);

 private:
  std::string folder_;
};

}  // namespace cachetest
