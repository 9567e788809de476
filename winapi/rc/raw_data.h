// Data written in the script, "BEGIN ... END" after a resource of a type
// without a statement of its own (RCDATA, DLGINIT, user types): numbers are
// WORDs, or DWORDs when written with an L suffix; narrow strings give their
// bytes and L"..." strings their UTF-16, without terminators.
#pragma once

#include <string>

#include "statement_reader.h"

namespace qzrc {

// Reads from BEGIN up to its END.
std::string ParseRawData(StatementReader& reader);

}  // namespace qzrc
