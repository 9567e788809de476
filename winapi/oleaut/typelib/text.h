// Text helpers of the type library code: the file's narrow names in the
// system code page, case-insensitive name matching, and registry strings.
#pragma once

#include <wtypes.h>

#include <cstddef>
#include <string>

namespace qzwin::typelib {

// Narrow text of a type library file in the system code page; bytes that are
// not valid there are taken one by one (as ISO-8859-1), so nothing is lost.
std::u16string DecodeText(const BYTE* bytes, std::size_t length);

// Names in type libraries match case-insensitively (ASCII letters).
bool SameName(const OLECHAR* a, const std::u16string& b);

// Wide text to the system code page and back.
std::string ToNarrow(const std::u16string& text);
std::u16string ToWide(const std::string& text);

// A copy of `text` as a new BSTR; throws _com_error(E_OUTOFMEMORY) on failure.
BSTR NewBstr(const std::u16string& text);

// Writes a new BSTR of `text` where `out` points, if it points anywhere.
void SetBstrOut(BSTR* out, const std::u16string& text);

}  // namespace qzwin::typelib
