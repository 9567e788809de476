// What a command finds of the platform's set-up in the current platform
// root: the registered in-process servers and the shared files.
#pragma once

#include <string>

#include <windows.h>

namespace qzcli {

// The file registered as InprocServer32 of clsid; "" when the class is not
// registered.
std::string RegisteredServer(REFCLSID clsid);

// The registered files of the platform path resolver and of the schema
// service; "" for one that is not registered.
std::string RegisteredResolver();
std::string RegisteredSchemaService();

// The POSIX form of a Windows path, for a person to find the file.
std::string PosixPathOf(const char* windowsPath);

}  // namespace qzcli
