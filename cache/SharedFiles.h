// Where the platform's shared files lie. The paths come from the platform
// path resolver; the system never builds them itself.
#pragma once

#include <windows.h>
#include <comdef.h>

// The relative path under the platform's common directory of each shared file.
#define SCHEMA_CACHE_RELATIVE_PATH OLESTR("Shared\\qzschemas.xml")
#define ENCODINGS_RELATIVE_PATH OLESTR("Shared\\qzencodings.xml")

// Asks a new resolver for the full path of relative (empty is passed as a
// null BSTR). On failure full keeps its old value and the failing HRESULT,
// REGDB_E_CLASSNOTREG when the resolver is not installed, is returned.
HRESULT ResolveSharedFile(const _bstr_t& relative, _bstr_t& full);

// The full paths of the schema cache and the encodings settings, from the
// platform path resolver; full keeps its value on failure.
HRESULT GetSchemaCachePath(_bstr_t& full);
HRESULT GetEncodingsPath(_bstr_t& full);

// True when something is found at path: a file, a directory, or anything a
// wildcard pattern matches. A null path gives false.
bool FileExists(const char* path);
