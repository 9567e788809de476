// File name patterns as FindFirstFileA reads them.
#pragma once

#include <string_view>

namespace qzwin::kernel {

bool HasWildcards(std::string_view pattern);

// '*' matches any run of characters, '?' exactly one (a UTF-8 sequence counts
// as one); letters match without regard to case. A pattern that ends in ".*"
// also matches names without that extension, so "*.*" matches every name.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace qzwin::kernel
