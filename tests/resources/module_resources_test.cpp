// The module's resources as it carries them: each under its type, id and
// language, and what each holds. This test program embeds the module's
// resource script itself, so its own module handle reaches them. Types, ids
// and languages are written here as numbers of their own, not taken from
// the script's header, so that an id given to the wrong resource shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "documents.h"
#include "winapi/rc/resource_reader.h"

namespace {

using rctest::Cursor;

constexpr WORD kEnglishUs = 1033;
constexpr WORD kDanish = 1030;

// The bytes of a resource found under exactly this type, id and language.
std::string ExactResource(LPCSTR type, WORD id, WORD language) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
  if (found == nullptr) return "<missing>";
  return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
}

std::string Html(WORD id, WORD language = kEnglishUs) { return ExactResource(MAKEINTRESOURCEA(23), id, language); }

TEST(ModuleResources, EveryResourceUnderItsTypeIdAndLanguage) {
  const struct {
    LPCSTR type;
    WORD id;
    WORD language;
    const char* what;
  } resources[] = {
      {"TYPELIB", 1, kEnglishUs, "type library"},
      {"REGISTRY", 101, kEnglishUs, "registry script"},
      {MAKEINTRESOURCEA(5), 102, kEnglishUs, "dialog \"XML Schema error\""},
      {MAKEINTRESOURCEA(240), 102, kEnglishUs, "its dialog initialisation"},
      {MAKEINTRESOURCEA(6), 100 / 16 + 1, kEnglishUs, "the string block of string 100"},
      {MAKEINTRESOURCEA(24), 2, kEnglishUs, "manifest"},
      {MAKEINTRESOURCEA(16), 1, kEnglishUs, "version block"},
  };
  for (const auto& resource : resources) {
    EXPECT_NE("<missing>", ExactResource(resource.type, resource.id, resource.language)) << resource.what;
  }
}

TEST(ModuleResources, BuiltInDocumentsAreTheFilesByteForByte) {
  const struct {
    WORD id;
    WORD language;
    const char* file;
  } documents[] = {
      {201, kEnglishUs, "Tavel-basic-datatypes.xml"}, {202, kEnglishUs, "Componentmanager-Schema.xml"},
      {207, kEnglishUs, "qzschemaerr.htm"},           {208, kEnglishUs, "qzschemas.xml"},
      {209, kEnglishUs, "Standard-report.xml"},       {211, kDanish, "QZTemplates.xml"},
      {212, kEnglishUs, "QZTableAutoFill.xml"},
  };
  HMODULE module = GetModuleHandleA(nullptr);
  for (const auto& document : documents) {
    SCOPED_TRACE(document.file);
    const std::string file = qzdocs::ReadDocumentFile(document.file);
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(Html(document.id, document.language) == file) << "differs from the file";
    // The module asks without a language, as registration does.
    HRSRC any = FindResourceA(module, MAKEINTRESOURCEA(document.id), RT_HTML);
    ASSERT_NE(any, nullptr);
    EXPECT_EQ(SizeofResource(module, any), file.size());
  }
  EXPECT_EQ("<missing>", Html(211, kEnglishUs)) << "the templates schema is Danish only";
  EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(201), RT_RCDATA), nullptr);
}

TEST(ModuleResources, TypeLibraryIsTheOneBuiltFromTheIdl) {
  std::ifstream file(QZ_TYPELIB, std::ios::binary);
  const std::string built((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(built.empty());
  EXPECT_TRUE(ExactResource("TYPELIB", 1, kEnglishUs) == built);
}

TEST(ModuleResources, RegistryScriptIsTheClassScriptByteForByte) {
  const struct {
    int tabs;
    const char* text;
  } lines[] = {
      {0, "HKCR"},
      {0, "{"},
      {1, "Qzschemas.QZXMLSchemaService.1 = s 'QZXMLSchemaService Class'"},
      {1, "{"},
      {2, "CLSID = s '{AEFFB600-A7EE-477B-8E63-2E84D27581AF}'"},
      {1, "}"},
      {1, "Qzschemas.QZXMLSchemaService = s 'QZXMLSchemaService Class'"},
      {1, "{"},
      {2, "CLSID = s '{AEFFB600-A7EE-477B-8E63-2E84D27581AF}'"},
      {2, "CurVer = s 'Qzschemas.QZXMLSchemaService.1'"},
      {1, "}"},
      {1, "NoRemove CLSID"},
      {1, "{"},
      {2, "ForceRemove {AEFFB600-A7EE-477B-8E63-2E84D27581AF} = s 'QZXMLSchemaService Class'"},
      {2, "{"},
      {3, "ProgID = s 'Qzschemas.QZXMLSchemaService.1'"},
      {3, "VersionIndependentProgID = s 'Qzschemas.QZXMLSchemaService'"},
      {3, "ForceRemove 'Programmable'"},
      {3, "InprocServer32 = s '%MODULE%'"},
      {3, "{"},
      {4, "val ThreadingModel = s 'Apartment'"},
      {3, "}"},
      {3, "'TypeLib' = s '{9F8C9A12-6868-44D8-B9CE-12E403B3BD63}'"},
      {2, "}"},
      {1, "}"},
      {0, "}"},
  };
  std::string expected;
  for (const auto& line : lines) expected += std::string(line.tabs, '\t') + line.text + "\r\n";
  const std::string script = ExactResource("REGISTRY", 101, kEnglishUs);
  EXPECT_EQ(717u, script.size());
  EXPECT_EQ(expected, script);
}

// A name-or-ordinal field of a dialog template: the name, "#" for an ordinal.
std::u16string NameOrOrdinal(Cursor& in) {
  const std::uint16_t first = in.Word();
  if (first == 0) return u"";
  if (first == 0xFFFF) {
    in.Word();
    return u"#";
  }
  return static_cast<char16_t>(first) + in.Text();
}

TEST(ModuleResources, SchemaErrorDialogHoldsAWebBrowserControlInitialisedNew) {
  Cursor dialog(ExactResource(MAKEINTRESOURCEA(5), 102, kEnglishUs));
  const std::uint32_t style = dialog.Dword();
  EXPECT_EQ(0x00C00000u, style & 0x00C00000u) << "a caption";
  EXPECT_EQ(0u, dialog.Dword()) << "extended style";
  ASSERT_EQ(1, dialog.Word()) << "one control";
  for (int i = 0; i < 4; ++i) dialog.Short();
  EXPECT_EQ(u"", NameOrOrdinal(dialog)) << "menu";
  EXPECT_EQ(u"", NameOrOrdinal(dialog)) << "window class";
  EXPECT_EQ(u"XML Schema error", dialog.Text());
  if ((style & 0x40) != 0) {  // DS_SETFONT
    dialog.Word();
    dialog.Text();
  }
  dialog.AlignToDword();
  EXPECT_EQ(0x10000000u, dialog.Dword() & 0x10000000u) << "the control is visible";
  dialog.Dword();
  for (int i = 0; i < 4; ++i) dialog.Short();
  const std::uint16_t controlId = dialog.Word();
  EXPECT_EQ(u"{8856F961-340A-11D0-A96B-00C04FD705A2}", NameOrOrdinal(dialog)) << "the web browser's CLSID";

  // One record for that control: initialise new, no data; then the end.
  Cursor init(ExactResource(MAKEINTRESOURCEA(240), 102, kEnglishUs));
  EXPECT_EQ(controlId, init.Word());
  EXPECT_EQ(0x0378, init.Word());
  EXPECT_EQ(0u, init.Dword());
  EXPECT_EQ(0, init.Word());
  EXPECT_TRUE(init.AtEnd());
}

TEST(ModuleResources, ProjectNameIsString100) {
  // String 100 is the fifth of block 7: each entry a length and its units.
  Cursor block(ExactResource(MAKEINTRESOURCEA(6), 7, kEnglishUs));
  for (int index = 0; index < 16; ++index) {
    const std::u16string text = block.Units(block.Word());
    EXPECT_EQ(index == 100 % 16 ? u"qzschemas" : u"", text) << "entry " << index;
  }
  EXPECT_TRUE(block.AtEnd());
}

TEST(ModuleResources, ManifestAsksForTheCallersRightsWithoutUiAccess) {
  qzdocs::XmlDoc manifest = qzdocs::ParseXml(ExactResource(MAKEINTRESOURCEA(24), 2, kEnglishUs));
  ASSERT_NE(manifest, nullptr);
  const xmlNode* level = xmlDocGetRootElement(manifest.get());
  for (const char* step : {"trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"}) {
    std::vector<xmlNode*> children = qzdocs::ChildElements(level, step);
    ASSERT_EQ(1u, children.size()) << step;
    level = children[0];
  }
  EXPECT_EQ("asInvoker", qzdocs::Attribute(level, "level").value_or("<none>"));
  EXPECT_EQ("false", qzdocs::Attribute(level, "uiAccess").value_or("<none>"));
}

// The text value of a version block entry: its key, then (DWORD-aligned) its text.
std::u16string VersionString(const std::string& bytes, const std::u16string& key) {
  const std::string needle(reinterpret_cast<const char*>(key.c_str()), (key.size() + 1) * 2);
  for (std::size_t at = bytes.find(needle); at != std::string::npos; at = bytes.find(needle, at + 1)) {
    if (at % 2 != 0) continue;
    Cursor in(bytes);
    while (in.offset() < at + needle.size()) in.Byte();
    in.AlignToDword();
    return in.Text();
  }
  return u"<missing>";
}

TEST(ModuleResources, VersionBlockNamesTheModuleAndItsVersion) {
  const std::string bytes = ExactResource(MAKEINTRESOURCEA(16), 1, kEnglishUs);
  Cursor fixed(bytes);
  fixed.Word();
  fixed.Word();
  fixed.Word();
  EXPECT_EQ(u"VS_VERSION_INFO", fixed.Text());
  fixed.AlignToDword();
  EXPECT_EQ(0xFEEF04BDu, fixed.Dword());
  fixed.Dword();
  for (const char* which : {"file", "product"}) {
    EXPECT_EQ(0x00160000u, fixed.Dword()) << which << " version 22.0";
    EXPECT_EQ(0x000001FBu, fixed.Dword()) << which << " version 0.507";
  }
  EXPECT_EQ(u"qzschemas Module", VersionString(bytes, u"FileDescription"));
  EXPECT_EQ(u"qzschemas Module", VersionString(bytes, u"ProductName"));
  EXPECT_EQ(u"qzschemas", VersionString(bytes, u"InternalName"));
  EXPECT_EQ(u"22.0.0.507", VersionString(bytes, u"FileVersion"));
  EXPECT_EQ(u"22.0.0.507", VersionString(bytes, u"ProductVersion"));
}

}  // namespace
