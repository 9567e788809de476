#include "cache/SchemaUrn.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <comdef.h>

namespace {

constexpr char kUrnPrefix[] = "x-schema:";

// The length of the path's last component, which the URN holds whole: the
// file name and the extension together, after the drive and the last
// separator.
size_t LastComponentLength(const char* path) {
  const char* component = (path[0] != '\0' && path[1] == ':') ? path + 2 : path;
  for (const char* p = component; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') component = p + 1;
  }
  return strlen(component);
}

}  // namespace

void MakeSchemaUrn(const char* path, char (&urn)[SCHEMA_URN_SIZE]) {
  if (path == nullptr) _com_issue_error(E_INVALIDARG);
  // Measured before splitting: a name or an extension longer than its part
  // buffer is cut by some runtimes and an invalid parameter to others.
  if (sizeof kUrnPrefix - 1 + LastComponentLength(path) >= SCHEMA_URN_SIZE) {
    _com_issue_error(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  }
  char fileName[_MAX_FNAME];
  char extension[_MAX_EXT];
  _splitpath(path, nullptr, nullptr, fileName, extension);
  memset(urn, 0, SCHEMA_URN_SIZE);
  // The buffer's own bound, which the measure above already keeps.
  const int length = snprintf(urn, SCHEMA_URN_SIZE, "%s%s%s", kUrnPrefix, fileName, extension);
  if (length < 0 || static_cast<size_t>(length) >= SCHEMA_URN_SIZE) {
    _com_issue_error(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  }
}
