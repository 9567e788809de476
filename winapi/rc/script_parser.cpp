// The statements of a resource script: LANGUAGE, STRINGTABLE and resources
// "<id> <type> ...", whose data is a file, a statement of their kind
// (DIALOG, DIALOGEX, VERSIONINFO) or data written between BEGIN and END.
// Everything else is refused with its file and line, so that a script never
// compiles to less than it says.
#include <cctype>
#include <cstdio>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>

#include "dialog.h"
#include "language.h"
#include "preprocessor.h"
#include "raw_data.h"
#include "resource_script.h"
#include "script_error.h"
#include "script_paths.h"
#include "statement_reader.h"
#include "string_table.h"
#include "version_info.h"

namespace qzrc {
namespace {

namespace fs = std::filesystem;

// "0x" and up to eight hex digits, and the terminator.
constexpr std::size_t kHexTextSize = 11;

// Resource types with a predefined number whose data is a file's bytes or
// data written in the script.
std::optional<std::uint16_t> DataResourceType(const std::string& upperWord) {
  if (upperWord == "HTML") return kTypeHtml;
  if (upperWord == "RCDATA") return kTypeRcData;
  if (upperWord == "MANIFEST") return kTypeManifest;
  if (upperWord == "DLGINIT") return kTypeDialogInit;
  return std::nullopt;
}

// Resource kinds the Windows compiler builds from statements or converts
// from their files; qzrc does not build them.
bool IsUnsupportedResourceKind(const std::string& upperWord) {
  static const std::set<std::string> kKinds = {
      "ACCELERATORS", "ANICURSOR", "ANIICON", "BITMAP", "CURSOR", "DLGINCLUDE", "FONT", "ICON",
      "MENU",         "MENUEX",    "MESSAGETABLE", "PLUGPLAY", "TOOLBAR", "VXD",
  };
  return kKinds.count(upperWord) != 0;
}

bool IsTopLevelUnsupported(const std::string& upperWord) {
  return upperWord == "CHARACTERISTICS" || upperWord == "VERSION" || upperWord == "BEGIN" || upperWord == "END";
}

// Memory options of 16-bit Windows that scripts may still carry; they mean nothing.
bool IsMemoryOption(const std::string& upperWord) {
  static const std::set<std::string> kOptions = {"PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE",
                                                 "DISCARDABLE", "PURE", "IMPURE", "SHARED", "NONSHARED"};
  return kOptions.count(upperWord) != 0;
}

std::string Hex(std::uint32_t value) {
  char text[kHexTextSize];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
  return text;
}

class Parser {
 public:
  Parser(const fs::path& script, const std::vector<fs::path>& dataDirs)
      : script_(script), dataDirs_(dataDirs), source_(script, &result_), reader_(source_, &result_.warnings) {}

  ResourceScript Run() {
    while (const Token* next = reader_.Peek()) Statement(*next);
    for (ScriptResource& table : strings_.Resources()) {
      std::string block = "string block " + std::to_string(table.nameId);
      Add(std::move(table), block);
    }
    return std::move(result_);
  }

 private:
  void Statement(const Token& first) {
    if (first.kind != Token::Kind::kWord) throw reader_.Error(first.line, "unexpected '" + first.text + "'");
    std::string keyword = Upper(first.text);
    bool isName = source_.defines().IsDefined(first.text);
    if (!isName && keyword == "LANGUAGE") {
      reader_.Take("LANGUAGE");
      language_ = ReadLanguage(reader_);
    } else if (!isName && keyword == "STRINGTABLE") {
      reader_.Take("STRINGTABLE");
      while (const Token* option = reader_.Peek()) {
        if (option->kind != Token::Kind::kWord || !IsMemoryOption(Upper(option->text))) break;
        reader_.Take("an option");
      }
      strings_.Parse(reader_, language_);
    } else if (!isName && IsTopLevelUnsupported(keyword)) {
      throw reader_.Error(first.line, keyword + " is not supported here");
    } else {
      Resource();
    }
  }

  void Resource() {
    Token name = reader_.Take("a resource id");
    ScriptResource resource;
    resource.nameId = NameId(name);
    resource.language = language_;
    resource.line = name.line;

    Token type = reader_.Take("a resource type");
    if (type.kind != Token::Kind::kWord) throw reader_.Error(type.line, "expected a resource type after " + name.text);
    std::string typeWord = Upper(type.text);
    bool typeIsName = source_.defines().IsDefined(type.text);
    while (const Token* option = reader_.Peek()) {
      if (option->kind != Token::Kind::kWord || !IsMemoryOption(Upper(option->text))) break;
      reader_.Take("an option");
    }

    if (!typeIsName && (typeWord == "DIALOG" || typeWord == "DIALOGEX")) {
      resource.typeId = kTypeDialog;
      resource.data = DialogBytes(ParseDialog(reader_, typeWord == "DIALOGEX", &resource.language));
    } else if (!typeIsName && typeWord == "VERSIONINFO") {
      resource.typeId = kTypeVersion;
      resource.data = VersionInfoBytes(ParseVersionInfo(reader_));
    } else {
      if (std::isdigit(static_cast<unsigned char>(type.text[0])) || typeIsName) {
        TokenList typeTokens({type}, script_, type.line);
        std::uint32_t number = Expression(source_.defines(), Expression::Mode::kStatement).Evaluate(typeTokens).value;
        if (number == 0 || number > 0xFFFF) {
          throw reader_.Error(type.line, "resource type " + type.text + " must lie in 1..65535");
        }
        resource.typeId = static_cast<std::uint16_t>(number);
      } else if (auto predefined = DataResourceType(typeWord)) {
        resource.typeId = *predefined;
      } else if (IsUnsupportedResourceKind(typeWord)) {
        throw reader_.Error(type.line, typeWord + " resources are not supported by qzrc");
      } else {
        resource.typeName = typeWord;
      }
      Data(&resource);
    }
    Add(std::move(resource), name.text);
  }

  std::uint16_t NameId(const Token& name) {
    bool numeric = name.kind == Token::Kind::kWord &&
                   (std::isdigit(static_cast<unsigned char>(name.text[0])) || source_.defines().IsDefined(name.text));
    if (!numeric) {
      throw reader_.Error(name.line, "resource name '" + name.text +
                                         "' is not a number or a #define of one (string names are not supported)");
    }
    TokenList tokens({name}, script_, name.line);
    std::uint32_t id = Expression(source_.defines(), Expression::Mode::kStatement).Evaluate(tokens).value;
    if (id == 0 || id > 0xFFFF) throw reader_.Error(name.line, "resource id " + name.text + " must lie in 1..65535");
    return static_cast<std::uint16_t>(id);
  }

  // A data file in quotes, or data written between BEGIN and END.
  void Data(ScriptResource* resource) {
    const Token* next = reader_.Peek();
    if (next != nullptr && (next->text == "{" || Upper(next->text) == "BEGIN") && next->kind != Token::Kind::kString) {
      resource->data = ParseRawData(reader_);
      return;
    }
    Token file = reader_.Take("a file name in quotes");
    if (file.kind != Token::Kind::kString) {
      throw reader_.Error(file.line, "expected a file name in quotes, found '" + file.text + "'");
    }
    resource->file = DataFile(file);
    result_.dependencies.push_back(resource->file);
  }

  void Add(ScriptResource resource, const std::string& written) {
    for (const ScriptResource& other : result_.resources) {
      if (std::tie(other.typeId, other.typeName, other.nameId, other.language) ==
          std::tie(resource.typeId, resource.typeName, resource.nameId, resource.language)) {
        throw reader_.Error(resource.line, "resource " + written + " of this type and language " +
                                               Hex(resource.language) + " is already defined at line " +
                                               std::to_string(other.line));
      }
    }
    if (resource.file.empty() && resource.data.size() > 0xFFFFFFFFu) {
      throw reader_.Error(resource.line, "resource " + written + " is too large");
    }
    result_.resources.push_back(std::move(resource));
  }

  fs::path DataFile(const Token& token) {
    std::string written = token.text;
    if (written.empty()) throw reader_.Error(token.line, "empty file name");
    if (written.size() >= 2 && written[1] == ':') {
      throw reader_.Error(token.line, "'" + written + "': name data files relative to the script");
    }
    const std::string relative = ScriptPathToPosix(written);
    fs::path path = script_.parent_path() / relative;
    std::string lookedFor = path.string();
    std::error_code error;
    if (fs::is_regular_file(path, error)) return path;
    for (const fs::path& dir : dataDirs_) {
      fs::path candidate = dir / relative;
      if (fs::is_regular_file(candidate, error)) return candidate;
      lookedFor += ", " + candidate.string();
    }
    throw reader_.Error(token.line, "cannot open data file '" + written + "' (looked for " + lookedFor + ")");
  }

  fs::path script_;
  std::vector<fs::path> dataDirs_;
  ResourceScript result_;
  Preprocessor source_;
  StatementReader reader_;
  StringTables strings_;
  std::uint16_t language_ = kDefaultLanguage;
};

}  // namespace

ResourceScript ParseScript(const fs::path& script, const std::vector<fs::path>& dataDirs) {
  return Parser(script, dataDirs).Run();
}

}  // namespace qzrc
