// The few registry operations type library registration needs, on keys
// under HKEY_CLASSES_ROOT named by their full path.
#pragma once

#include <wtypes.h>

#include <string>
#include <vector>

namespace qzwin::typelib {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
std::u16string GuidText(const GUID& guid);
// Lower-case hexadecimal without leading zeros, as the TypeLib keys use.
std::u16string HexText(unsigned value);

bool ReadDefaultValue(const std::u16string& key, std::u16string* value);
std::vector<std::u16string> SubKeyNames(const std::u16string& key);
bool KeyExists(const std::u16string& key);

// Creates the key as needed; an empty `name` sets the default value.
HRESULT WriteStringValue(const std::u16string& key, const std::u16string& name, const std::u16string& value);
// Deletes the key when it has no subkeys left (its values go with it).
void DeleteKeyIfLeafless(const std::u16string& key);
void DeleteKeyTree(const std::u16string& key);

}  // namespace qzwin::typelib
