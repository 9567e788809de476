// The default cache resource and its byte-for-byte write over the cache file.
#include <filesystem>

#include "support/cache_fixture.h"
#include "support/resolver_installer.h"
#include "resources/resource.h"

namespace cachetest {
namespace {

// The default cache, line by line: tab indentation, CR LF after every line.
std::string ExpectedDefaultCache() {
  const struct {
    int tabs;
    const char* text;
  } lines[] = {
      {0, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"},
      {0, "<!-- source file name: ...\\Shared\\qzschemas\\qzschemas.htm  -->"},
      {0, "<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"},
      {1, "<Schema name=\"QZSchemas\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
          "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"},
      {2, "<AttributeType name=\"urn\" dt:type=\"string\" required=\"yes\"/>"},
      {2, "<AttributeType name=\"Filename\" dt:type=\"string\" required=\"yes\"/>"},
      {2, "<ElementType name=\"QZSchema\" content=\"mixed\">"},
      {3, "<attribute type=\"urn\"/>"},
      {3, "<attribute type=\"Filename\"/>"},
      {2, "</ElementType>"},
      {2, "<ElementType name=\"QZSchemas\" content=\"mixed\">"},
      {3, "<element type=\"QZSchema\" minOccurs=\"1\" maxOccurs=\"*\"/>"},
      {2, "</ElementType>"},
      {1, "</Schema>"},
      {1, "<QZSchemas xmlns=\"x-schema:#QZSchemas\">"},
      {2, "<QZSchema urn=\"x-schema:Tavel-basic-datatypes.xml\" "
          "Filename=\"C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\"/>"},
      {1, "</QZSchemas>"},
      {0, "</QZSchemasRoot>"},
  };
  std::string text;
  for (const auto& line : lines) text += std::string(line.tabs, '\t') + line.text + "\r\n";
  return text;
}

using CacheTemplateTest = CacheTest;

TEST_F(CacheTemplateTest, DefaultCacheResourceHoldsTheTemplateByteForByte) {
  const std::string resource = DefaultCacheResource();
  EXPECT_EQ(918u, resource.size());
  EXPECT_EQ(ExpectedDefaultCache(), resource);
}

// POSIX streams do not translate line ends: the template's CR LF pairs reach
// the file as they are, never as CR CR LF.
TEST_F(CacheTemplateTest, WritesTheResourceUnchangedOverAnyOldFile) {
  WriteCache(std::string(4096, 'x'));
  ASSERT_EQ(S_OK, module_.WriteCacheTemplate(IDR_DEFAULT_SCHEMA_CACHE));
  const std::string written = ReadCache();
  EXPECT_EQ(DefaultCacheResource(), written);
  EXPECT_EQ(0u, CountOf(written, "\r\r\n"));
  EXPECT_EQ(0u, BoxesShown());
}

TEST_F(CacheTemplateTest, UnwritableSharedDirectoryShowsTheBoxOnEveryAttempt) {
  MakeSharedDirectoryUnwritable();
  EXPECT_EQ(E_FAIL, module_.WriteCacheTemplate(IDR_DEFAULT_SCHEMA_CACHE));
  EXPECT_EQ(E_FAIL, module_.WriteCacheTemplate(IDR_DEFAULT_SCHEMA_CACHE));
  const auto shown = host_.Shown();
  ASSERT_EQ(2u, shown.size());
  for (const auto& box : shown) {
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ("Failed to register\n Tavel platform system xml schemas", box.text);
    EXPECT_EQ("Register failed", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
  }
}

// Without a path there is no file to open: the same box, the same result.
TEST_F(CacheTemplateTest, UnresolvedPathIsAFileThatCannotBeOpened) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  EXPECT_EQ(E_FAIL, module_.WriteCacheTemplate(IDR_DEFAULT_SCHEMA_CACHE));
  EXPECT_EQ(1u, BoxesShown());
  EXPECT_FALSE(std::filesystem::exists(Posix(kCachePath)));
}

}  // namespace
}  // namespace cachetest
