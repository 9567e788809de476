// A platform with the resolver installed, a shared directory, no cache file
// yet, and a scripted UI host that records message boxes.
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

class CacheTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Where a Windows path lies on this machine.
  static std::filesystem::path Posix(const char* windowsPath);
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

  std::size_t BoxesShown() const { return host_.Shown().size(); }

  CQZModule module_;
  qzwin::ScriptedUiHost host_;

 private:
  qzwin::UiHost* previousHost_ = nullptr;
};

// A cache entry line, and a list of entries, in the default cache's layout.
std::string Entry(const char* urn, const char* filename);
std::string Schemas(const std::string& entries);

// How often needle occurs in text.
std::size_t CountOf(const std::string& text, const std::string& needle);

}  // namespace cachetest
