// The subset of the resource-script language that qzrc reads: comments,
// #include and #define lines, LANGUAGE statements and file resources
// "<id> <type> "<path>"". Everything else is refused with its file and line,
// so that a script never compiles to less than it says.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>
#include <tuple>

#include "defines.h"
#include "resource_script.h"
#include "script_error.h"
#include "script_lexer.h"

namespace qzrc {
namespace {

namespace fs = std::filesystem;

// Headers including headers deeper than this are taken to include themselves.
constexpr int kMaxIncludeDepth = 16;
// The language of resources before the first LANGUAGE statement, as with the
// Windows resource compiler's default (US English).
constexpr std::uint16_t kDefaultLanguage = 0x0409;
constexpr std::uint32_t kMaxPrimaryLanguage = 0x3FF;
constexpr std::uint32_t kMaxSubLanguage = 0x3F;
// "0x" and up to eight hex digits, and the terminator.
constexpr std::size_t kHexTextSize = 11;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ReadWholeFile(const fs::path& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  *text = content.str();
  return !file.bad();
}

// Language names the scripts may use, besides numbers and #defines.
std::optional<std::uint32_t> LanguageName(const std::string& word) {
  static const std::map<std::string, std::uint32_t> kNames = {
      {"LANG_NEUTRAL", 0x00},     {"LANG_ENGLISH", 0x09},       {"LANG_DANISH", 0x06},
      {"SUBLANG_NEUTRAL", 0x00},  {"SUBLANG_DEFAULT", 0x01},    {"SUBLANG_ENGLISH_US", 0x01},
      {"SUBLANG_DANISH_DENMARK", 0x01},
  };
  auto found = kNames.find(word);
  if (found == kNames.end()) return std::nullopt;
  return found->second;
}

// Resource types with a predefined number whose data is the file's bytes.
std::optional<std::uint16_t> FileResourceType(const std::string& upperWord) {
  if (upperWord == "HTML") return 23;
  if (upperWord == "RCDATA") return 10;
  if (upperWord == "MANIFEST") return 24;
  return std::nullopt;
}

// Resource kinds the Windows compiler builds from statements or converts
// from their files; qzrc does not build them (yet).
bool IsUnsupportedResourceKind(const std::string& upperWord) {
  static const std::set<std::string> kKinds = {
      "ACCELERATORS", "ANICURSOR", "ANIICON", "BITMAP",     "CURSOR",   "DIALOG",      "DIALOGEX",  "DLGINCLUDE",
      "FONT",         "ICON",      "MENU",    "MENUEX",     "MESSAGETABLE", "PLUGPLAY", "VERSIONINFO", "VXD",
  };
  return kKinds.count(upperWord) != 0;
}

bool IsTopLevelUnsupported(const std::string& upperWord) {
  return upperWord == "STRINGTABLE" || upperWord == "CHARACTERISTICS" || upperWord == "VERSION" ||
         upperWord == "BEGIN" || upperWord == "END";
}

// Memory options of 16-bit Windows that scripts may still carry; they mean nothing.
bool IsMemoryOption(const std::string& upperWord) {
  static const std::set<std::string> kOptions = {"PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE",
                                                 "DISCARDABLE", "PURE", "IMPURE", "SHARED", "NONSHARED"};
  return kOptions.count(upperWord) != 0;
}

// SDK headers that bring LANG_* and SUBLANG_* into a script.
bool DefinesLanguageNames(const std::string& header) {
  std::string name = Upper(header);
  return name == "WINDOWS.H" || name == "WINRES.H" || name == "WINRESRC.H" || name == "WINNT.H" || name == "AFXRES.H";
}

// Headers contribute their #define lines only, as with the Windows compiler.
bool IsHeaderFile(const fs::path& path) {
  std::string extension = Upper(path.extension().string());
  return extension == ".H" || extension == ".HPP" || extension == ".HH" || extension == ".C";
}

// A path as the script writes it ('\\' or '/' between parts) in POSIX form.
std::string ScriptPathToPosix(const std::string& written) {
  std::string path;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\\' || written[i] == '/') {
      path += '/';
      while (i + 1 < written.size() && written[i + 1] == '\\') ++i;
    } else {
      path += written[i];
    }
  }
  return path;
}

// Scripts are ASCII or UTF-8; a UTF-8 byte order mark is skipped.
std::string WithoutByteOrderMark(const std::string& text, const fs::path& file) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) return text.substr(3);
  if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0) {
    throw ScriptError(file, 1, "the script is UTF-16; save it as UTF-8 or ASCII");
  }
  return text;
}

std::string Hex(std::uint32_t value) {
  char text[kHexTextSize];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
  return text;
}

class Parser {
 public:
  explicit Parser(const fs::path& script) : script_(script) {}

  ResourceScript Run() {
    std::string text;
    if (!ReadWholeFile(script_, &text)) throw ScriptError(script_, 1, "cannot read the resource script");
    result_.dependencies.push_back(script_);
    tokens_ = Tokenize(WithoutByteOrderMark(text, script_), script_);
    while (pos_ < tokens_.size()) Statement();
    return std::move(result_);
  }

 private:
  // ---- preprocessor lines ----

  // `strict`: in the script itself, directives qzrc does not know are errors;
  // in headers they are skipped like the rest of the C code there.
  void Directive(const std::string& text, const fs::path& file, int line, bool strict, int depth) {
    std::istringstream in(text);
    std::string keyword;
    in >> keyword;
    std::string rest;
    std::getline(in, rest);
    if (keyword == "define") {
      Define(rest, file, line, strict);
    } else if (keyword == "undef") {
      defines_.Undefine(Trimmed(rest));
    } else if (keyword == "include") {
      Include(Trimmed(rest), file, line, depth);
    } else if (keyword == "pragma" || !strict) {
      // #pragma code_page and the like change nothing for file resources.
    } else {
      throw ScriptError(file, line, "#" + keyword + " is not supported; only #include and #define lines are");
    }
  }

  static std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
  }

  void Define(const std::string& rest, const fs::path& file, int line, bool strict) {
    std::string body = Trimmed(rest);
    std::size_t nameEnd = 0;
    while (nameEnd < body.size() && (std::isalnum(static_cast<unsigned char>(body[nameEnd])) || body[nameEnd] == '_')) {
      ++nameEnd;
    }
    if (nameEnd == 0) throw ScriptError(file, line, "#define needs a name");
    if (nameEnd < body.size() && body[nameEnd] == '(') {
      if (strict) throw ScriptError(file, line, "macros with parameters are not supported");
      return;
    }
    defines_.Define(body.substr(0, nameEnd), Trimmed(body.substr(nameEnd)));
  }

  void Include(const std::string& target, const fs::path& from, int line, int depth) {
    if (target.size() >= 2 && target.front() == '<' && target.back() == '>') {
      // SDK headers; qzrc knows the few names from them that scripts use.
      if (DefinesLanguageNames(target.substr(1, target.size() - 2))) languageNamesIncluded_ = true;
      return;
    }
    if (target.size() < 3 || target.front() != '"' || target.back() != '"') {
      throw ScriptError(from, line, "#include needs a file name in quotes or angle brackets");
    }
    fs::path header = from.parent_path() / ScriptPathToPosix(target.substr(1, target.size() - 2));
    if (!IsHeaderFile(header)) {
      throw ScriptError(from, line, "cannot include '" + header.filename().string() +
                                        "': only headers (.h) are read, for their #define lines");
    }
    if (depth >= kMaxIncludeDepth) throw ScriptError(from, line, "#include nested too deeply (does it include itself?)");
    std::string text;
    if (!ReadWholeFile(header, &text)) throw ScriptError(from, line, "cannot open include file '" + header.string() + "'");
    result_.dependencies.push_back(header);
    for (const Token& token : Tokenize(WithoutByteOrderMark(text, header), header)) {
      if (token.kind == Token::Kind::kDirective) Directive(token.text, header, token.line, false, depth + 1);
    }
  }

  // ---- statements ----

  const Token& Next(const char* expected) {
    if (pos_ >= tokens_.size()) {
      int line = tokens_.empty() ? 1 : tokens_.back().line;
      throw ScriptError(script_, line, std::string("unexpected end of script; expected ") + expected);
    }
    const Token& token = tokens_[pos_++];
    if (token.kind == Token::Kind::kDirective) {
      throw ScriptError(script_, token.line, std::string("a directive cannot stand inside a statement; expected ") + expected);
    }
    return token;
  }

  void Statement() {
    const Token& first = tokens_[pos_];
    if (first.kind == Token::Kind::kDirective) {
      ++pos_;
      Directive(first.text, script_, first.line, true, 0);
      return;
    }
    if (first.kind != Token::Kind::kWord) throw ScriptError(script_, first.line, "unexpected '" + first.text + "'");
    std::string keyword = Upper(first.text);
    if (!defines_.IsDefined(first.text) && keyword == "LANGUAGE") {
      ++pos_;
      Language(first.line);
    } else if (!defines_.IsDefined(first.text) && IsTopLevelUnsupported(keyword)) {
      throw ScriptError(script_, first.line, keyword + " is not supported by qzrc yet");
    } else {
      Resource();
    }
  }

  std::uint32_t LanguagePart(const Token& token, std::uint32_t max, const char* what) {
    std::optional<std::uint32_t> value;
    if (token.kind == Token::Kind::kWord) value = defines_.Number(token.text);
    if (!value && token.kind == Token::Kind::kWord) {
      value = LanguageName(token.text);
      if (value && !languageNamesIncluded_ && !warnedLanguageNames_) {
        warnedLanguageNames_ = true;
        result_.warnings.push_back(script_.string() + ":" + std::to_string(token.line) + ": warning: " + token.text +
                                   " comes from <windows.h>; include it, or the Windows resource compiler will not"
                                   " know the name");
      }
    }
    if (!value) throw ScriptError(script_, token.line, std::string("unknown ") + what + " '" + token.text + "'");
    if (*value > max) throw ScriptError(script_, token.line, std::string(what) + " " + token.text + " is out of range");
    return *value;
  }

  void Language(int line) {
    std::uint32_t primary = LanguagePart(Next("a language"), kMaxPrimaryLanguage, "language");
    const Token& comma = Next("','");
    if (comma.text != ",") throw ScriptError(script_, comma.line, "expected ',' between language and sublanguage");
    std::uint32_t sub = LanguagePart(Next("a sublanguage"), kMaxSubLanguage, "sublanguage");
    language_ = static_cast<std::uint16_t>((sub << 10) | primary);
  }

  void Resource() {
    const Token& name = Next("a resource id");
    std::optional<std::uint32_t> id = name.kind == Token::Kind::kWord ? defines_.Number(name.text) : std::nullopt;
    if (!id) {
      throw ScriptError(script_, name.line, "resource name '" + name.text +
                                                "' is not a number or a #define of one (string names are not supported)");
    }
    if (*id == 0 || *id > 0xFFFF) throw ScriptError(script_, name.line, "resource id " + name.text + " must lie in 1..65535");

    ScriptResource resource;
    resource.nameId = static_cast<std::uint16_t>(*id);
    resource.language = language_;
    resource.line = name.line;

    const Token& type = Next("a resource type");
    if (type.kind != Token::Kind::kWord) throw ScriptError(script_, type.line, "expected a resource type after " + name.text);
    std::string typeWord = Upper(type.text);
    if (auto number = defines_.Number(type.text)) {
      if (*number == 0 || *number > 0xFFFF) throw ScriptError(script_, type.line, "resource type " + type.text + " must lie in 1..65535");
      resource.typeId = static_cast<std::uint16_t>(*number);
    } else if (auto predefined = FileResourceType(typeWord)) {
      resource.typeId = *predefined;
    } else if (IsUnsupportedResourceKind(typeWord)) {
      throw ScriptError(script_, type.line, typeWord + " resources are not supported by qzrc yet");
    } else {
      resource.typeName = typeWord;
    }

    const Token* file = &Next("a file name in quotes");
    while (file->kind == Token::Kind::kWord && IsMemoryOption(Upper(file->text))) file = &Next("a file name in quotes");
    if (file->text == "{" || Upper(file->text) == "BEGIN") {
      throw ScriptError(script_, file->line, "data written in the script (BEGIN ... END) is not supported; name a file");
    }
    if (file->kind != Token::Kind::kString) {
      throw ScriptError(script_, file->line, "expected a file name in quotes, found '" + file->text + "'");
    }
    resource.file = DataFile(*file);

    for (const ScriptResource& other : result_.resources) {
      if (std::tie(other.typeId, other.typeName, other.nameId, other.language) ==
          std::tie(resource.typeId, resource.typeName, resource.nameId, resource.language)) {
        throw ScriptError(script_, resource.line, "resource " + name.text + " of this type and language " +
                                                      Hex(resource.language) + " is already defined at line " +
                                                      std::to_string(other.line));
      }
    }
    result_.dependencies.push_back(resource.file);
    result_.resources.push_back(std::move(resource));
  }

  fs::path DataFile(const Token& token) {
    std::string written = token.text;
    if (written.empty()) throw ScriptError(script_, token.line, "empty file name");
    if (written.size() >= 2 && written[1] == ':') {
      throw ScriptError(script_, token.line, "'" + written + "': name data files relative to the script");
    }
    fs::path path = script_.parent_path() / ScriptPathToPosix(written);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
      throw ScriptError(script_, token.line, "cannot open data file '" + written + "' (looked for " + path.string() + ")");
    }
    return path;
  }

  fs::path script_;
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  Defines defines_;
  std::uint16_t language_ = kDefaultLanguage;
  bool languageNamesIncluded_ = false;
  bool warnedLanguageNames_ = false;
  ResourceScript result_;
};

}  // namespace

ResourceScript ParseScript(const fs::path& script) { return Parser(script).Run(); }

}  // namespace qzrc
