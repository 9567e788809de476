// The default schema cache and the update of its basic data types entry at
// registration. The templates are RT_HTML resources of resources, the
// library's module (null: the program's).
#pragma once

#include <windows.h>

// Writes the RT_HTML resource resourceId over the schema cache file, byte
// for byte through a text-mode stream. E_FAIL, after the message box
// "Register failed", when the file cannot be opened.
HRESULT WriteCacheTemplate(HMODULE resources, UINT resourceId);

// Writes the default schema cache and points its basic data types entry
// at the copy in the system directory.
HRESULT CreateDefaultCache(HMODULE resources);

// At registration: creates the schema cache when it is missing, else
// points its basic data types entries at the system directory.
HRESULT UpdateBasicDatatypesEntry(HMODULE resources);
