// Small text helpers for Windows path names, shared by the file functions.
#pragma once

#include <string_view>

namespace qzwin::kernel {

inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

inline bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

inline char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Windows compares names without regard to case; the stand-in folds ASCII.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

}  // namespace qzwin::kernel
