// What the schema file commands share: the schema service, created through
// its published class as any client creates it, and the Windows form of the
// file names given on the command line.
#pragma once

#include <functional>
#include <string>

#include <comdef.h>

#include "command_line.h"
#include "qzschemas.h"

_COM_SMARTPTR_TYPEDEF(IQZXMLSchemaService2, __uuidof(IQZXMLSchemaService2));

namespace qzcli {

// Runs body with a new service object, made as any client makes it, between
// CoInitialize and CoUninitialize, and returns what body returns. Without a
// service object, tells on stderr why and how to set the platform up, and
// returns kNoService.
int WithSchemaService(const std::function<int(IQZXMLSchemaService2*)>& body);

// A Windows path stays as written; any other path is made absolute and
// mapped into the drive model, so that the cache names the file wherever
// the command ran.
std::string WindowsPathOf(const char* argument);

// "0x80004005 (Unspecified error)"
std::string Describe(HRESULT hr);

}  // namespace qzcli
