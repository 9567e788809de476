// The registry file's text form. It reads like a .reg file and keeps every
// name and every byte:
//
//   qzwin-registry 1
//   [HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32]
//   @=sz:"C:\path\server.dll"
//   "ThreadingModel"=sz:"Apartment"
//   "Flags"=dword:0000002a
//   "Blob"=binary:00ff10
//   "Odd"=hex(1):410042
//
// Every key is written, parents before children, so empty keys survive.
// Inside brackets and quotes, '%', '"', control characters and lone
// surrogates are escaped as %XX or %uXXXX; everything else is UTF-8. A string
// value is written as text when its data is whole UTF-16 units ending in one
// NUL (which the text leaves out); any other data is written as hex.
#pragma once

#include <string>
#include <string_view>

#include "memory_tree.h"

namespace qzwin::registry {

std::string FormatHive(const Hive& hive);

// Fills *hive (key ids left 0). False with a line number and reason in *error
// when the text is not a registry file of this form.
bool ParseHive(std::string_view text, Hive* hive, std::string* error);

}  // namespace qzwin::registry
