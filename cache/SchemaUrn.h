// The schema URN of a file: "x-schema:" followed by the file's name and
// extension, without drive and directory. It keys the cache's entries and
// the schema collection.
#pragma once

#include <stddef.h>

// The URN buffer's size in bytes, terminator included.
constexpr size_t SCHEMA_URN_SIZE = 260;

// Writes the URN of path (narrow, system code page; "\" and "/" both end a
// directory) into urn, zero-filled first. A URN that would not fit is
// raised as HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) before anything
// is written: a cut URN would name another schema. A null path raises
// E_INVALIDARG.
void MakeSchemaUrn(const char* path, char (&urn)[SCHEMA_URN_SIZE]);
