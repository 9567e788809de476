// Where the shared files lie, and what counts as a file being there.
#include <fstream>

#include <qzwin/platform.h>

#include "cache/SharedFiles.h"
#include "support/cache_fixture.h"
#include "support/resolver_installer.h"
#include "support/narrow.h"
#include "support/temp_root.h"

namespace cachetest {
namespace {

using qztest::Narrow;

using SharedFilesTest = CacheTest;

TEST_F(SharedFilesTest, ModulePathsComeFromTheResolver) {
  _bstr_t cache, encodings;
  ASSERT_EQ(S_OK, module_.GetSchemaCachePath(cache));
  ASSERT_EQ(S_OK, module_.GetEncodingsPath(encodings));
  EXPECT_EQ(kCachePath, Narrow(cache));
  EXPECT_EQ("C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzencodings.xml", Narrow(encodings));

  // Asked anew each time: the platform may move its directory meanwhile.
  resolvertest::SetCommonDirectory("D:\\Platform");
  ASSERT_EQ(S_OK, module_.GetSchemaCachePath(cache));
  EXPECT_EQ("D:\\Platform\\Shared\\qzschemas.xml", Narrow(cache));
}

TEST_F(SharedFilesTest, WithoutTheResolverEveryPathFailsWithTheCreationResult) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  _bstr_t cache("old cache"), encodings("old encodings"), other("old");
  EXPECT_EQ(REGDB_E_CLASSNOTREG, module_.GetSchemaCachePath(cache));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, module_.GetEncodingsPath(encodings));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, ResolveSharedFile(OLESTR("Shared\\x.xml"), other));
  EXPECT_EQ("old cache", Narrow(cache));
  EXPECT_EQ("old encodings", Narrow(encodings));
  EXPECT_EQ("old", Narrow(other));
}

TEST_F(SharedFilesTest, AFailedResolutionKeepsTheOldPath) {
  _bstr_t kept("kept");
  EXPECT_EQ(E_INVALIDARG, ResolveSharedFile(OLESTR("C:\\rooted.xml"), kept));
  EXPECT_EQ("kept", Narrow(kept));
}

// Whatever a file search finds counts; the search itself is the kernel's.
TEST(FileExistsTest, FilesDirectoriesAndWildcardMatchesCount) {
  std::filesystem::path dir = qztest::FreshDirectory("exists");
  std::ofstream(dir / "Schema.xml") << "<a/>";
  std::filesystem::create_directory(dir / "sub");
  const std::string base = qzwin::ToWindowsPath(dir.string());

  EXPECT_TRUE(FileExists((base + "\\Schema.xml").c_str()));
  EXPECT_TRUE(FileExists((base + "\\sub").c_str()));
  EXPECT_TRUE(FileExists((base + "\\*.xml").c_str()));
  EXPECT_FALSE(FileExists((base + "\\missing.xml").c_str()));
  EXPECT_FALSE(FileExists(nullptr));
}

}  // namespace
}  // namespace cachetest
