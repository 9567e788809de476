// The text of quoted strings in a script: rc's backslash escapes and the
// conversion of narrow strings from the script's code page to UTF-16.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "script_lexer.h"

namespace qzrc {

// Code pages a script may name in #pragma code_page(...).
constexpr std::uint32_t kCodePageUtf8 = 65001;
constexpr std::uint32_t kCodePageWestern = 1252;

bool IsSupportedCodePage(std::uint32_t codePage);

// The string as UTF-16, for dialogs, string tables and version values.
// Escapes: \n \t \r \a \b \f \v \\ \" \' \? \ooo (octal) \xhh (hex); in a
// narrow string they give bytes of the code page, in a wide one UTF-16 units.
std::u16string StringText(const Token& token, std::uint32_t codePage, const std::filesystem::path& file);

// The string as the bytes raw data holds: a narrow string's bytes after its
// escapes, a wide string's UTF-16 in little-endian order. No terminator.
std::string StringBytes(const Token& token, std::uint32_t codePage, const std::filesystem::path& file);

}  // namespace qzrc
