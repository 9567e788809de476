// GUIDs in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <objbase.h>

namespace qzwin::com {

// Characters of the registry form, without the terminator.
constexpr int kGuidTextLength = CHARS_IN_GUID - 1;

// Writes the upper-case registry form and a terminator into text.
void FormatGuid(REFGUID guid, OLECHAR (&text)[CHARS_IN_GUID]);
void FormatGuid(REFGUID guid, char (&text)[CHARS_IN_GUID]);

// True when text is exactly the registry form (hex digits of either case).
bool ParseGuid(LPCOLESTR text, GUID* guid);

}  // namespace qzwin::com
