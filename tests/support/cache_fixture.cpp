#include "support/cache_fixture.h"

#include <fstream>

#include <qzwin/platform.h>

#include "support/files.h"
#include "support/resolver_installer.h"
#include "resources/resource.h"
#include "support/temp_root.h"

namespace cachetest {

void PlatformTest::SetUp() {
  ASSERT_GE(CoInitialize(nullptr), 0);
  ASSERT_EQ(S_OK, resolvertest::RegisterResolver());
  resolvertest::SetCommonDirectory(nullptr);
  std::filesystem::path cache = Posix(kCachePath);
  std::filesystem::remove(cache);
  std::filesystem::create_directories(cache.parent_path());
  previousHost_ = qzwin::SetUiHost(&host_);
}

void PlatformTest::TearDown() {
  qzwin::SetUiHost(previousHost_);
  resolvertest::SetCommonDirectory(nullptr);
  CoUninitialize();
}

std::filesystem::path Posix(const std::string& windowsPath) {
  std::string posix;
  EXPECT_TRUE(qzwin::ToPosixPath(windowsPath.c_str(), &posix)) << windowsPath;
  return posix;
}

std::string CacheTest::ReadCache() { return qztest::ReadFile(Posix(kCachePath)); }

void CacheTest::WriteCache(const std::string& bytes) { qztest::WriteFile(Posix(kCachePath), bytes); }

void CacheTest::MakeSharedDirectoryUnwritable() {
  std::filesystem::path common = qztest::FreshDirectory("common");
  std::ofstream(common / "Shared") << "a file where the directory should be";
  resolvertest::SetCommonDirectory(qzwin::ToWindowsPath(common.string()).c_str());
}

std::string CacheTest::DefaultCacheResource() const { return ResourceText(IDR_DEFAULT_SCHEMA_CACHE); }

std::string CacheTest::ResourceText(UINT id) const {
  HMODULE module = module_.GetResourceInstance();
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_HTML);
  if (resource == nullptr) return "";
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  return std::string(bytes, SizeofResource(module, resource));
}

std::string CacheTest::CacheWith(const std::string& lists) const {
  const std::string resource = DefaultCacheResource();
  return resource.substr(0, resource.find("\t<QZSchemas ")) + lists + "</QZSchemasRoot>\r\n";
}

std::string Entry(const char* urn, const char* filename) {
  return std::string("\t\t<QZSchema urn=\"") + urn + "\" Filename=\"" + filename + "\"/>\r\n";
}

std::string Schemas(const std::string& entries) {
  return "\t<QZSchemas xmlns=\"x-schema:#QZSchemas\">\r\n" + entries + "\t</QZSchemas>\r\n";
}

std::size_t CountOf(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

}  // namespace cachetest
