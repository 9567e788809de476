// Text helpers of the registry: the system code page <-> UTF-16 for the A
// functions, through the kernel's conversions; strict UTF-8 for the registry
// file; and the case folding that makes key and value names
// case-insensitive.
#pragma once

#include <string>
#include <string_view>

namespace qzwin::registry {

// Invalid UTF-8 becomes U+FFFD, as MultiByteToWideChar without
// MB_ERR_INVALID_CHARS does. Embedded NULs are kept.
std::u16string WidenUtf8(std::string_view text);

// Lone surrogates become U+FFFD. Embedded NULs are kept.
std::string NarrowToUtf8(std::u16string_view text);

// Strict decoding for the registry file: false on any malformed sequence.
bool DecodeUtf8Strict(std::string_view text, std::u16string* out);

// Appends one code point as UTF-8.
void AppendUtf8(std::string* out, char32_t codePoint);

// The upper-case form names are compared by. Like Windows it works per
// UTF-16 unit; it covers ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
char16_t UpcaseUnit(char16_t unit);
std::u16string FoldName(std::u16string_view name);

// Length of a NUL-terminated UTF-16 string (the stand-in's WCHAR is char16_t).
size_t WideLength(const char16_t* text);

}  // namespace qzwin::registry
