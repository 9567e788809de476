// A file's schema URN, and finding its entry in a cache document.
#include <comdef.h>

#include "cache/SchemaEntry.h"
#include "cache/SchemaUrn.h"
#include "errors/XMLDOMPtr.h"
#include "schema_registration_support.h"
#include "schemas/CreateDocument.h"

namespace cachetest {
namespace {

std::string UrnOf(const char* path) {
  char urn[SCHEMA_URN_SIZE];
  MakeSchemaUrn(path, urn);
  return urn;
}

TEST(SchemaUrnTest, NameAndExtensionWithoutDriveOrDirectory) {
  EXPECT_EQ("x-schema:My.xsd", UrnOf("C:\\Schemas\\My.xsd"));
  EXPECT_EQ("x-schema:My.xsd", UrnOf("D:/x/My.xsd"));
  EXPECT_EQ("x-schema:My.xsd", UrnOf("C:My.xsd"));
  EXPECT_EQ("x-schema:Plain", UrnOf("C:\\Temp\\Plain"));
  EXPECT_EQ("x-schema:a.b.c", UrnOf("dir.d\\a.b.c"));
  EXPECT_EQ("x-schema:", UrnOf("C:\\Temp\\"));
}

// A name the runtime would cut to its buffer is refused as well.
TEST(SchemaUrnTest, LongNamesAreRefusedWhole) {
  const std::string fits = "C:\\" + std::string(250, 'n');
  EXPECT_EQ(259u, UrnOf(fits.c_str()).size());
  for (const std::string& path : {"C:\\" + std::string(251, 'n'), "D:\\d\\" + std::string(300, 'n') + ".xsd",
                                  "x." + std::string(300, 'e')}) {
    try {
      UrnOf(path.c_str());
      ADD_FAILURE() << path.size();
    } catch (const _com_error& error) {
      EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), error.Error());
    }
  }
}

TEST_F(RegistrationTest, FindSchemaEntryHandsOutTheFirstEntry) {
  WriteCache(CacheWith(Schemas(std::string(kBasicDatatypesEntry) + Entry("x-schema:A.xsd", "C:\\first\\A.xsd") +
                               Entry("x-schema:A.xsd", "C:\\second\\A.xsd"))));
  IXMLDOMDocument2Ptr document;
  ASSERT_EQ(S_OK, CreateDocument(&document));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(S_OK, document->load(_variant_t(kCachePath), &loaded));

  EXPECT_FALSE(FindSchemaEntry("x-schema:A.xsd", nullptr, nullptr));
  EXPECT_FALSE(FindSchemaEntry("x-schema:a.xsd", document, nullptr));
  EXPECT_TRUE(FindSchemaEntry("x-schema:A.xsd", document, nullptr));
  IXMLDOMElementPtr entry;
  ASSERT_TRUE(FindSchemaEntry("x-schema:A.xsd", document, &entry));
  _variant_t filename;
  ASSERT_EQ(S_OK, entry->getAttribute(_bstr_t("Filename"), &filename));
  EXPECT_STREQ("C:\\first\\A.xsd", static_cast<const char*>(_bstr_t(filename)));
}

}  // namespace
}  // namespace cachetest
