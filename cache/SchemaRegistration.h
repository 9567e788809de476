// Registering and unregistering schema files: adding an entry for a schema
// file to the schema cache file, or taking it out again. Both edit the file
// on disk only, loading it into a document of their own and writing the
// whole document back after validating it; the schema collection already
// built is not touched.
#pragma once

#include <windows.h>
#include <oleauto.h>

// The result sentence's buffer in bytes, terminator included; a longer
// sentence is cut.
constexpr size_t RESULT_SENTENCE_SIZE = 2048;

// The success code with which RegisterSchemaFile answers a missing name or a
// name under which nothing exists.
constexpr HRESULT S_SCHEMA_FILE_NOT_FOUND = 123;

// Adds an entry for the file strSchemaFileName to the cache, unless an entry
// with its URN is there. Always answers with a sentence in
// *strErrroDescription (when that is not null), which the caller frees; a
// value held there before is overwritten, not freed.
HRESULT RegisterSchemaFile(BSTR strSchemaFileName, BSTR* strErrroDescription);

// Removes the first entry with the URN of strSchemaFileName from the cache,
// whether or not the file still exists. E_INVALIDARG for a null name, E_FAIL
// when there is no such entry or the file could not be written.
// strErrroDescription is never written.
HRESULT UnRegisterSchemaFile(BSTR strSchemaFileName, BSTR* strErrroDescription);
