// Wide text as a narrow string in the system code page, for comparing with
// literals. A null string gives "".
#pragma once

#include <comdef.h>

#include <string>

namespace qztest {

std::string Narrow(const OLECHAR* text);
std::string Narrow(const _bstr_t& text);

}  // namespace qztest
