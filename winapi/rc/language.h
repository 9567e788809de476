// LANGUAGE <primary>, <sub>: the language of the resources that follow, or
// of the one statement it stands in.
#pragma once

#include <cstdint>

#include "statement_reader.h"

namespace qzrc {

// The language of resources before the first LANGUAGE statement, as with the
// Windows resource compiler's default (US English).
constexpr std::uint16_t kDefaultLanguage = 0x0409;

// Reads "<primary>, <sub>" after the LANGUAGE keyword: MAKELANGID of them.
std::uint16_t ReadLanguage(StatementReader& reader);

}  // namespace qzrc
