// The #define table of a resource script: names and the text they stand for
// (see expression.h for how that text becomes a number).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qzrc {

// A decimal or 0x-hexadecimal literal, with an optional U/L suffix, at most
// 32 bits; parentheses around it are allowed.
std::optional<std::uint32_t> ParseNumber(std::string_view text);

class Defines {
 public:
  void Define(const std::string& name, const std::string& value) { values_[name] = value; }
  void Undefine(const std::string& name) { values_.erase(name); }
  bool IsDefined(const std::string& name) const { return values_.count(name) != 0; }
  // The text a name is defined as, or null.
  const std::string* Value(const std::string& name) const {
    auto found = values_.find(name);
    return found == values_.end() ? nullptr : &found->second;
  }

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace qzrc
