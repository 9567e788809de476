// The registry calls on UTF-16 names. The A and W entry points convert their
// arguments and come here; every function takes the registry lock itself.
#pragma once

#include <winreg.h>

#include <functional>
#include <string>

#include "file_store.h"
#include "memory_tree.h"

namespace qzwin::registry {

// A null subkey is passed as a null pointer, as in the Windows calls.
LONG CreateKey(HKEY parent, const std::u16string* subkey, DWORD reserved, REGSAM access, HKEY* result,
               DWORD* disposition);
LONG OpenKey(HKEY parent, const std::u16string* subkey, REGSAM access, HKEY* result);
LONG CloseKey(HKEY key);
LONG DeleteKey(HKEY parent, const std::u16string* subkey);
LONG DeleteTree(HKEY parent, const std::u16string* subkey);

// Runs read(key) on the up-to-date key behind the handle, which needs the
// given rights (ERROR_ACCESS_DENIED otherwise).
LONG ReadKey(HKEY hKey, REGSAM rights, const std::function<LONG(const RegKey& key, const KeyStore& store)>& read);

// Runs change(key, &changed) under the file lock on the newest key behind
// the handle and writes the registry when it changed something.
LONG ChangeKey(HKEY hKey, REGSAM rights, const std::function<LONG(RegKey& key, bool* changed)>& change);

}  // namespace qzwin::registry
