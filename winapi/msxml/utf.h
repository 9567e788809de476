// Strings cross the DOM's interfaces as BSTR (UTF-16) and live in libxml2 as
// UTF-8: these convert at that edge, once per crossing.
#pragma once

#include <string>
#include <string_view>

#include <oleauto.h>

namespace qzwin::msxml {

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// The UTF-8 form of a BSTR; a null BSTR is the empty string.
std::string BstrToUtf8(BSTR text);

// A new BSTR holding the UTF-8 text (null text gives a null BSTR).
BSTR AllocBstr(std::string_view utf8);
BSTR AllocBstr(const unsigned char* utf8);

// Hands a new BSTR out through an [out] parameter: E_INVALIDARG for a null
// place, E_OUTOFMEMORY when it cannot be allocated.
HRESULT ReturnBstr(std::string_view utf8, BSTR* out);
HRESULT ReturnBstr(const unsigned char* utf8, BSTR* out);

// The text as a VARIANT of type VT_BSTR.
HRESULT ReturnBstrVariant(std::string_view utf8, VARIANT* out);

}  // namespace qzwin::msxml
