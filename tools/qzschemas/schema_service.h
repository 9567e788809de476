// What the schema file commands share: the schema service, created through
// its published class as any client creates it, and the Windows form of the
// file names given on the command line.
#pragma once

#include <string>

#include <comdef.h>

#include "qzschemas.h"

_COM_SMARTPTR_TYPEDEF(IQZXMLSchemaService2, __uuidof(IQZXMLSchemaService2));

namespace qzcli {

// A new service object, or null after telling on stderr why there is none
// (and how to register the service when it is not registered).
IQZXMLSchemaService2Ptr CreateSchemaService();

// A Windows path stays as written; any other path is made absolute and
// mapped into the drive model, so that the cache names the file wherever
// the command ran.
std::string WindowsPathOf(const char* argument);

// "0x80004005 (Unspecified error)"
std::string Describe(HRESULT hr);

// True for "--help" or "-h".
bool IsHelp(const char* argument);

}  // namespace qzcli
