// The built-in documents as the module carries them: of type RT_HTML, under
// their ids and languages, byte for byte the files of the resources folder.
// This test program embeds the module's resource script itself, so its own
// module handle reaches them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "documents.h"
#include "resource.h"

namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kDanish = MAKELANGID(LANG_DANISH, SUBLANG_DANISH_DENMARK);

struct BuiltInDocument {
  WORD id;
  WORD language;
  const char* file;
};

const BuiltInDocument kDocuments[] = {
    {IDR_BASIC_DATATYPES_SCHEMA, kEnglishUs, "Tavel-basic-datatypes.xml"},
    {IDR_COMPONENTMANAGER_SCHEMA, kEnglishUs, "Componentmanager-Schema.xml"},
    {IDR_SCHEMA_CACHE_HELP, kEnglishUs, "qzschemaerr.htm"},
    {IDR_STANDARD_REPORT_SCHEMA, kEnglishUs, "Standard-report.xml"},
    {IDR_QZTEMPLATES_SCHEMA, kDanish, "QZTemplates.xml"},
    {IDR_QZTABLEAUTOFILL_SCHEMA, kEnglishUs, "QZTableAutoFill.xml"},
};

// The bytes of a found resource, read the way the module reads them.
std::string ResourceBytes(HMODULE module, HRSRC found) {
  HGLOBAL loaded = LoadResource(module, found);
  DWORD size = SizeofResource(module, found);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  return bytes != nullptr ? std::string(bytes, size) : std::string();
}

TEST(ModuleResources, CarriesEveryDocumentUnderItsIdAndLanguage) {
  HMODULE module = GetModuleHandleA(nullptr);
  for (const BuiltInDocument& document : kDocuments) {
    SCOPED_TRACE(document.file);
    std::string file = qzdocs::ReadDocumentFile(document.file);
    ASSERT_FALSE(file.empty());

    HRSRC exact = FindResourceExA(module, RT_HTML, MAKEINTRESOURCEA(document.id), document.language);
    ASSERT_NE(exact, nullptr);
    EXPECT_TRUE(ResourceBytes(module, exact) == file) << "differs from the file";

    // The module asks without a language, as registration does.
    HRSRC any = FindResourceA(module, MAKEINTRESOURCEA(document.id), RT_HTML);
    ASSERT_NE(any, nullptr);
    EXPECT_TRUE(ResourceBytes(module, any) == file) << "differs from the file";
  }
}

TEST(ModuleResources, TemplatesSchemaIsDanishOnly) {
  HMODULE module = GetModuleHandleA(nullptr);
  EXPECT_EQ(FindResourceExA(module, RT_HTML, MAKEINTRESOURCEA(IDR_QZTEMPLATES_SCHEMA), kEnglishUs), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
  // And no document is filed under another type.
  EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(IDR_BASIC_DATATYPES_SCHEMA), RT_RCDATA), nullptr);
}

}  // namespace
