// The default cache written when there is none, and the registration-time
// update of its basic data types entries.
#include <filesystem>

#include "support/cache_fixture.h"
#include "support/resolver_installer.h"

namespace cachetest {
namespace {

const std::string kSystemEntry = std::string("Filename=\"") + kSystemEntryPath + "\"";

using DefaultCacheTest = CacheTest;

TEST_F(DefaultCacheTest, CreatedCachePointsAtTheSystemDirectory) {
  ASSERT_EQ(S_OK, module_.CreateDefaultCache());
  const std::string cache = ReadCache();
  EXPECT_EQ(1u, CountOf(cache, kSystemEntry)) << cache;
  EXPECT_EQ(0u, CountOf(cache, "WINNT"));
  EXPECT_EQ(1u, CountOf(cache, "<AttributeType name=\"Filename\""));
  EXPECT_EQ(0u, BoxesShown());
}

// A missing cache is created at registration; a failed creation shows its
// box but does not fail the registration.
TEST_F(DefaultCacheTest, RegistrationCreatesAMissingCache) {
  ASSERT_EQ(S_OK, module_.UpdateBasicDatatypesEntry());
  EXPECT_EQ(1u, CountOf(ReadCache(), kSystemEntry));

  MakeSharedDirectoryUnwritable();
  EXPECT_EQ(S_OK, module_.UpdateBasicDatatypesEntry());
  EXPECT_EQ(1u, BoxesShown());
}

TEST_F(DefaultCacheTest, RegistrationUpdatesOnlyTheFirstListsEntries) {
  WriteCache(CacheWith(Schemas(Entry("x-schema:Tavel-basic-datatypes.xml", "D:\\old\\Tavel-basic-datatypes.xml") +
                               Entry("x-schema:Other.xml", "D:\\old\\Other.xml") +
                               Entry("x-schema:Tavel-basic-datatypes.xml", "E:\\copy.xml")) +
                       Schemas(Entry("x-schema:Tavel-basic-datatypes.xml", "F:\\second-list.xml"))));
  ASSERT_EQ(S_OK, module_.UpdateBasicDatatypesEntry());
  const std::string cache = ReadCache();
  EXPECT_EQ(2u, CountOf(cache, kSystemEntry)) << cache;
  EXPECT_EQ(1u, CountOf(cache, "Filename=\"D:\\old\\Other.xml\""));
  EXPECT_EQ(1u, CountOf(cache, "Filename=\"F:\\second-list.xml\""));
  EXPECT_EQ(0u, CountOf(cache, "D:\\old\\Tavel"));
  EXPECT_EQ(0u, CountOf(cache, "E:\\copy.xml"));
}

// A cache without the entry is written back all the same: its single
// quotes come back as the DOM writes attributes.
TEST_F(DefaultCacheTest, RegistrationAddsNoEntryButWritesTheFileBack) {
  WriteCache(CacheWith(Schemas("\t\t<QZSchema urn='x-schema:Other.xml' Filename='D:\\Other.xml'/>\r\n")));
  ASSERT_EQ(S_OK, module_.UpdateBasicDatatypesEntry());
  const std::string after = ReadCache();
  EXPECT_EQ(1u, CountOf(after, "<QZSchema "));
  EXPECT_EQ(1u, CountOf(after, "Filename=\"D:\\Other.xml\"")) << after;
  EXPECT_EQ(0u, CountOf(after, "Tavel-basic-datatypes"));
}

// A cache that does not validate does not load: the update ends with the
// loader's result and the file stays as it was.
TEST_F(DefaultCacheTest, InvalidCacheIsLeftAsItWas) {
  const std::string before = CacheWith(Schemas(Entry("x-schema:Tavel-basic-datatypes.xml", "D:\\old.xml") +
                                               "\t\t<QZSchema urn=\"x-schema:a.xml\"/>\r\n"));
  WriteCache(before);
  EXPECT_TRUE(FAILED(module_.UpdateBasicDatatypesEntry()));
  EXPECT_EQ(before, ReadCache());
}

// Registration without the resolver fails without a message; creation shows
// the box, having no file to write.
TEST_F(DefaultCacheTest, WithoutTheResolver) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  EXPECT_EQ(REGDB_E_CLASSNOTREG, module_.UpdateBasicDatatypesEntry());
  EXPECT_EQ(0u, BoxesShown());
  EXPECT_EQ(E_FAIL, module_.CreateDefaultCache());
  EXPECT_EQ(1u, BoxesShown());
  EXPECT_FALSE(std::filesystem::exists(Posix(kCachePath)));
}

}  // namespace
}  // namespace cachetest
