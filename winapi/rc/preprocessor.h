// The script as its statements see it: directives carried out (#define,
// #undef, #include of headers, #if/#ifdef/#ifndef/#elif/#else/#endif,
// #pragma code_page) and the tokens of branches not taken dropped. Directives
// run as reading reaches them, so a #define holds from its line on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "defines.h"
#include "resource_script.h"
#include "script_lexer.h"
#include "token_source.h"

namespace qzrc {

class Preprocessor : public TokenSource {
 public:
  // Reads and splits the script; adds it to `result`'s dependencies, and the
  // headers it includes as it reaches them.
  Preprocessor(const std::filesystem::path& script, ResourceScript* result);

  const std::filesystem::path& File() const override { return script_; }
  const Defines& defines() const { return defines_; }
  std::uint32_t codePage() const { return codePage_; }
  bool languageNamesIncluded() const { return languageNamesIncluded_; }

 protected:
  const Token* PeekNext() override;
  void Advance() override { ++pos_; }
  int LastLine() const override { return tokens_.empty() ? 1 : tokens_.back().line; }

 private:
  struct Condition {
    bool parentActive;
    bool active;
    bool anyTaken;  // a branch of this #if was (or, when the parent is skipped, counts as) taken
    bool sawElse;
    int line;
  };
  using Conditions = std::vector<Condition>;

  // `strict`: in the script, unknown directives are errors; in headers they
  // are skipped like the rest of the C code there.
  void Directive(const std::string& text, const std::filesystem::path& file, int line, bool strict, int depth,
                 Conditions* conditions);
  bool Evaluate(const std::string& expression, const std::filesystem::path& file, int line) const;
  void Define(const std::string& rest, const std::filesystem::path& file, int line, bool strict);
  void Include(const std::string& target, const std::filesystem::path& from, int line, int depth);
  void Pragma(const std::string& rest, const std::filesystem::path& file, int line);
  static bool Active(const Conditions& conditions) { return conditions.empty() || conditions.back().active; }

  std::filesystem::path script_;
  ResourceScript* result_;
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  Conditions conditions_;
  Defines defines_;
  std::uint32_t codePage_;
  bool languageNamesIncluded_ = false;
};

}  // namespace qzrc
