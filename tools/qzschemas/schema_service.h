// What the schema file commands share: the schema service, created through
// its published class as any client creates it, and the Windows form of the
// file names given on the command line.
#pragma once

#include <functional>
#include <string>

#include <comdef.h>

#include "qzschemas.h"

_COM_SMARTPTR_TYPEDEF(IQZXMLSchemaService2, __uuidof(IQZXMLSchemaService2));

namespace qzcli {

// The exit codes of the schema file commands.
constexpr int kCommandFailed = 1;
constexpr int kCommandUsage = 2;
constexpr int kNoService = 3;

// Runs body with a new service object, made as any client makes it, between
// CoInitialize and CoUninitialize, and returns what body returns. Without a
// service object, tells on stderr why (and how to register the service when
// it is not registered) and returns kNoService.
int WithSchemaService(const std::function<int(IQZXMLSchemaService2*)>& body);

// Prints usage: on stdout with 0 when asked for (--help), else on stderr
// with kCommandUsage.
int PrintUsage(const char* usage, bool asked);

// A Windows path stays as written; any other path is made absolute and
// mapped into the drive model, so that the cache names the file wherever
// the command ran.
std::string WindowsPathOf(const char* argument);

// "0x80004005 (Unspecified error)"
std::string Describe(HRESULT hr);

// True for "--help" or "-h".
bool IsHelp(const char* argument);

}  // namespace qzcli
