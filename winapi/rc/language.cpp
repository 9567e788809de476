#include "language.h"

#include <cctype>
#include <map>
#include <optional>

namespace qzrc {
namespace {

constexpr std::uint32_t kMaxPrimaryLanguage = 0x3FF;
constexpr std::uint32_t kMaxSubLanguage = 0x3F;

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

std::uint32_t LanguagePart(StatementReader& reader, std::uint32_t max, const char* what) {
  const Token* next = reader.Peek();
  if (next == nullptr) reader.Take(what);  // throws: the script ends here
  Token token = *reader.Peek();
  std::uint32_t value = 0;
  std::optional<std::uint32_t> named;
  if (token.kind == Token::Kind::kWord && !reader.source().defines().IsDefined(token.text)) named = LanguageName(token.text);
  if (named) {
    reader.Take(what);
    value = *named;
    if (!reader.source().languageNamesIncluded()) {
      reader.Warn(token.line,
                  token.text + " comes from <windows.h>; include it, or the Windows resource compiler will not"
                               " know the name",
                  "language names");
    }
  } else if (token.kind == Token::Kind::kWord && !std::isdigit(static_cast<unsigned char>(token.text[0])) &&
             !reader.source().defines().IsDefined(token.text)) {
    throw reader.Error(token.line, std::string("unknown ") + what + " '" + token.text + "'");
  } else {
    value = reader.Value().value;
  }
  if (value > max) throw reader.Error(token.line, std::string(what) + " " + token.text + " is out of range");
  return value;
}

}  // namespace

std::uint16_t ReadLanguage(StatementReader& reader) {
  std::uint32_t primary = LanguagePart(reader, kMaxPrimaryLanguage, "language");
  const Token* comma = reader.Peek();
  if (comma == nullptr || comma->text != ",") {
    throw reader.Error(comma != nullptr ? comma->line : reader.Line(), "expected ',' between language and sublanguage");
  }
  reader.Take("','");
  std::uint32_t sub = LanguagePart(reader, kMaxSubLanguage, "sublanguage");
  return static_cast<std::uint16_t>((sub << 10) | primary);
}

}  // namespace qzrc
