#include "depfile.h"

#include <set>

namespace qzrc {
namespace {

// Make's quoting, which Ninja reads too: blanks and '#' behind a backslash, '$' doubled.
std::string Escaped(const std::string& path) {
  std::string text;
  for (char c : path) {
    if (c == ' ' || c == '\t' || c == '#') text += '\\';
    if (c == '$') text += '$';
    text += c;
  }
  return text;
}

}  // namespace

std::string DepfileText(const std::filesystem::path& target, const std::vector<std::filesystem::path>& dependencies) {
  std::string text = Escaped(target.string()) + ":";
  std::set<std::filesystem::path> listed;
  for (const auto& dependency : dependencies) {
    if (listed.insert(dependency).second) text += " \\\n  " + Escaped(dependency.string());
  }
  return text + "\n";
}

}  // namespace qzrc
