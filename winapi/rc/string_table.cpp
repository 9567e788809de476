#include "string_table.h"

#include <cctype>

#include "byte_buffer.h"
#include "language.h"

namespace qzrc {
namespace {

constexpr std::uint16_t kStringsPerBlock = 16;
constexpr unsigned kBlockShift = 4;

bool IsOption(const Token& token, const char* keyword) {
  return token.kind == Token::Kind::kWord && Upper(token.text) == keyword;
}

}  // namespace

void StringTables::Parse(StatementReader& reader, std::uint16_t language) {
  for (const Token* next = reader.Peek(); next != nullptr && next->kind == Token::Kind::kWord; next = reader.Peek()) {
    if (IsOption(*next, "LANGUAGE")) {
      reader.Take("LANGUAGE");
      language = ReadLanguage(reader);
    } else if (IsOption(*next, "CHARACTERISTICS") || IsOption(*next, "VERSION")) {
      reader.Take("an option");
      reader.Value();
    } else {
      break;
    }
  }
  reader.Begin("the strings");
  auto& strings = strings_[language];
  while (!reader.End()) {
    int line = reader.Line();
    std::uint16_t id = reader.Word("string id");
    reader.OptionalComma();
    std::u16string text = reader.Text("a string");
    if (text.size() > 0xFFFF) throw reader.Error(line, "string " + std::to_string(id) + " is too long");
    auto [found, added] = strings.emplace(id, Entry{std::move(text), line});
    if (!added) {
      throw reader.Error(line, "string " + std::to_string(id) + " is already defined at line " +
                                   std::to_string(found->second.line));
    }
  }
}

std::vector<ScriptResource> StringTables::Resources() const {
  std::vector<ScriptResource> resources;
  for (const auto& [language, strings] : strings_) {
    auto entry = strings.begin();
    while (entry != strings.end()) {
      unsigned block = entry->first >> kBlockShift;
      ScriptResource resource;
      resource.typeId = kTypeString;
      resource.nameId = static_cast<std::uint16_t>(block + 1);
      resource.language = language;
      resource.line = entry->second.line;
      ByteBuffer out;
      for (unsigned index = 0; index < kStringsPerBlock; ++index) {
        if (entry != strings.end() && entry->first == ((block << kBlockShift) | index)) {
          out.Word(static_cast<std::uint16_t>(entry->second.text.size()));
          out.Text(entry->second.text, false);
          ++entry;
        } else {
          out.Word(0);
        }
      }
      resource.data = out.bytes();
      resources.push_back(std::move(resource));
    }
  }
  return resources;
}

}  // namespace qzrc
