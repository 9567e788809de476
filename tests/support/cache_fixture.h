// A platform with the resolver installed, a shared directory, no cache file
// yet, and a scripted UI host that records message boxes: as the schema
// cache's code (CacheTest) or the loaded library (the module's tests) meets it.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <qzwin/uihost.h>

#include "module/QZModule.h"

namespace cachetest {

// The defaults of the resolver and the stand-in's system directory.
constexpr const char* kCachePath = "C:\\Program Files\\Common Files\\Quorvane\\Shared\\qzschemas.xml";
constexpr const char* kSystemEntryPath = "C:\\WINDOWS\\system32\\Tavel-basic-datatypes.xml";

// Where a Windows path lies on this machine.
std::filesystem::path Posix(const std::string& windowsPath);

// COM initialised, the resolver installed at its default common directory,
// the shared directory made without a cache file, message boxes recorded.
class PlatformTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::size_t BoxesShown() const { return host_.Shown().size(); }

  qzwin::ScriptedUiHost host_;

 private:
  qzwin::UiHost* previousHost_ = nullptr;
};

// The same platform, with the module object of the library's own code.
class CacheTest : public PlatformTest {
 protected:
  static std::string ReadCache();
  static void WriteCache(const std::string& bytes);

  // The shared directory cannot hold files: "Shared" is a file there.
  static void MakeSharedDirectoryUnwritable();

  // The bytes of an RT_HTML resource as the module carries it, and those of
  // resource 208, the default cache.
  std::string ResourceText(UINT id) const;
  std::string DefaultCacheResource() const;
  // The default cache's declaration and inline schema around other lists.
  std::string CacheWith(const std::string& lists) const;

  CQZModule module_;
};

// A cache entry line, and a list of entries, in the default cache's layout.
std::string Entry(const char* urn, const char* filename);
std::string Schemas(const std::string& entries);

// How often needle occurs in text.
std::size_t CountOf(const std::string& text, const std::string& needle);

}  // namespace cachetest
