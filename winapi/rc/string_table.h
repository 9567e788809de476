// STRINGTABLE statements. Strings are kept in blocks of sixteen: string id
// (block << 4) | index lives in the RT_STRING resource named block + 1, as
// sixteen counted UTF-16 strings (a WORD length, no terminator).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "resource_script.h"
#include "statement_reader.h"

namespace qzrc {

class StringTables {
 public:
  // Reads the statement after the STRINGTABLE keyword up to its END, for
  // resources of `language` unless it names its own.
  void Parse(StatementReader& reader, std::uint16_t language);

  // One RT_STRING resource per language and block that holds a string.
  std::vector<ScriptResource> Resources() const;

 private:
  struct Entry {
    std::u16string text;
    int line;
  };
  // language -> string id -> text
  std::map<std::uint16_t, std::map<std::uint16_t, Entry>> strings_;
};

}  // namespace qzrc
