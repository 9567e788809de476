#include <string>

#include <gtest/gtest.h>

#include <winbase.h>

#include "loader_test_support.h"
#include "test_ids.h"

namespace {

using loadertest::kDataDir;
using loadertest::kModulePath;
using loadertest::ReadFile;

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kDanish = MAKELANGID(LANG_DANISH, SUBLANG_DANISH_DENMARK);
constexpr WORD kGerman = 0x0407;

// The bytes of a resource as LockResource gives them, or "<missing>".
std::string ResourceBytes(HMODULE module, HRSRC resource) {
  if (resource == nullptr) return "<missing>";
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return "<not loaded>";
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, resource));
}

class ModuleResourcesTest : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::string Find(int id, LPCSTR type) { return ResourceBytes(module_, FindResourceA(module_, MAKEINTRESOURCEA(id), type)); }
  std::string FindEx(int id, LPCSTR type, WORD language) {
    return ResourceBytes(module_, FindResourceExA(module_, type, MAKEINTRESOURCEA(id), language));
  }

  HMODULE module_ = nullptr;
};

TEST_F(ModuleResourcesTest, BytesComeBackExactlyAsTheFilesHoldThem) {
  EXPECT_EQ(Find(IDR_BINARY, RT_RCDATA), ReadFile(kDataDir / "binary.bin"));
  EXPECT_EQ(Find(IDR_PAGE, RT_HTML), ReadFile(kDataDir / "page.htm"));
  EXPECT_EQ(Find(IDR_REGISTRY, "REGISTRY"), ReadFile(kDataDir / "script.rgs"));
  EXPECT_EQ(Find(IDR_TYPELIB, "TYPELIB"), ReadFile(kDataDir / "binary.bin"));

  // An empty resource is found, with a size of 0 and still a place.
  HRSRC empty = FindResourceA(module_, MAKEINTRESOURCEA(IDR_EMPTY), RT_RCDATA);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SizeofResource(module_, empty), 0u);
  EXPECT_NE(LockResource(LoadResource(module_, empty)), nullptr);
}

TEST_F(ModuleResourcesTest, TypeAndNameSpellingsFindTheSameResource) {
  const std::string script = ReadFile(kDataDir / "script.rgs");
  EXPECT_EQ(Find(IDR_REGISTRY, "registry"), script) << "named types compare in upper case";
  EXPECT_EQ(ResourceBytes(module_, FindResourceA(module_, "#101", "REGISTRY")), script);
  EXPECT_EQ(ResourceBytes(module_, FindResourceA(module_, MAKEINTRESOURCEA(IDR_PAGE), "#23")),
            ReadFile(kDataDir / "page.htm"));
}

TEST_F(ModuleResourcesTest, AnyLanguagePrefersNeutralThenUsEnglishThenTheLowest) {
  EXPECT_EQ(Find(IDR_NEUTRAL_FIRST, RT_HTML), ReadFile(kDataDir / "neutral.txt"));
  EXPECT_EQ(Find(IDR_PAGE, RT_HTML), ReadFile(kDataDir / "page.htm"));
  EXPECT_EQ(Find(IDR_DANISH_ONLY, RT_HTML), ReadFile(kDataDir / "page-da.htm"));
  // Language 0 asks for any language, as with FindResourceA.
  EXPECT_EQ(FindEx(IDR_PAGE, RT_HTML, 0), ReadFile(kDataDir / "page.htm"));

  EXPECT_EQ(FindEx(IDR_PAGE, RT_HTML, kDanish), ReadFile(kDataDir / "page-da.htm"));
  EXPECT_EQ(FindEx(IDR_PAGE, RT_HTML, kEnglishUs), ReadFile(kDataDir / "page.htm"));
  EXPECT_EQ(FindEx(IDR_NEUTRAL_FIRST, RT_HTML, kEnglishUs), ReadFile(kDataDir / "page.htm"));
}

TEST_F(ModuleResourcesTest, MissingResourcesNameWhatIsMissing) {
  struct Case {
    const char* what;
    HMODULE module;
    int id;
    LPCSTR type;
    WORD language;
    DWORD error;
  };
  const Case cases[] = {
      {"type", module_, IDR_PAGE, RT_DIALOG, 0, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"named type", module_, IDR_PAGE, "NOSUCHTYPE", 0, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"name", module_, 999, RT_HTML, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {"language", module_, IDR_PAGE, RT_HTML, kGerman, ERROR_RESOURCE_LANG_NOT_FOUND},
      {"language of a one-language resource", module_, IDR_DANISH_ONLY, RT_HTML, kEnglishUs,
       ERROR_RESOURCE_LANG_NOT_FOUND},
      {"module", reinterpret_cast<HMODULE>(0x10), IDR_PAGE, RT_HTML, 0, ERROR_INVALID_HANDLE},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(FindResourceExA(c.module, c.type, MAKEINTRESOURCEA(c.id), c.language), nullptr) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }
}

TEST_F(ModuleResourcesTest, ResourceHandlesBelongToTheirModule) {
  HRSRC page = FindResourceA(module_, MAKEINTRESOURCEA(IDR_PAGE), RT_HTML);
  ASSERT_NE(page, nullptr);
  HMODULE program = GetModuleHandleA(nullptr);
  SetLastError(0);
  EXPECT_EQ(LoadResource(program, page), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SizeofResource(program, page), 0u);
  EXPECT_EQ(LoadResource(module_, nullptr), nullptr);

  // The program's resources are its own, and the module's are not among them.
  EXPECT_EQ(FindResourceA(program, MAKEINTRESOURCEA(IDR_PAGE), RT_HTML), nullptr);
  EXPECT_EQ(FindResourceA(module_, MAKEINTRESOURCEA(IDR_PROGRAM_DATA), RT_RCDATA), nullptr);
}

TEST(ProgramResourcesTest, TheMainProgramFindsItsOwnResources) {
  const std::string expected = ReadFile(kDataDir / "binary.bin");
  EXPECT_EQ(ResourceBytes(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PROGRAM_DATA), RT_RCDATA)), expected);
  HMODULE program = GetModuleHandleA(nullptr);
  EXPECT_EQ(ResourceBytes(program, FindResourceA(program, MAKEINTRESOURCEA(IDR_PROGRAM_DATA), RT_RCDATA)), expected);
}

TEST(ProgramResourcesTest, AModuleWithoutResourcesHasNoResourceData) {
  HMODULE kernel = GetModuleHandleA("libqzwin_kernel.so");
  ASSERT_NE(kernel, nullptr);
  SetLastError(0);
  EXPECT_EQ(FindResourceA(kernel, MAKEINTRESOURCEA(1), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST(ProgramResourcesTest, AnUnloadedModuleTakesItsResourcesAlong) {
  HMODULE module = LoadLibraryA(kModulePath.c_str());
  ASSERT_NE(module, nullptr);
  ASSERT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDR_PAGE), RT_HTML), nullptr);
  ASSERT_TRUE(FreeLibrary(module));
  SetLastError(0);
  EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(IDR_PAGE), RT_HTML), nullptr);
  EXPECT_NE(GetLastError(), 0u);
}

}  // namespace
