#include "defines.h"

#include <cctype>
#include <charconv>

namespace qzrc {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// "(x)" -> "x", repeatedly.
std::string_view Unparenthesize(std::string_view text) {
  text = Trim(text);
  while (text.size() >= 2 && text.front() == '(' && text.back() == ')') text = Trim(text.substr(1, text.size() - 2));
  return text;
}

}  // namespace

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  text = Unparenthesize(text);
  while (!text.empty() && (text.back() == 'L' || text.back() == 'l' || text.back() == 'U' || text.back() == 'u')) {
    text.remove_suffix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint32_t value = 0;
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace qzrc
