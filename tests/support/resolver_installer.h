// Installs the platform path resolver built with the tests into this test
// process's platform root, and moves the platform's common directory.
#pragma once

#include <windows.h>

namespace resolvertest {

// Runs the resolver module's DllRegisterServer or DllUnregisterServer.
HRESULT RegisterResolver();
HRESULT UnregisterResolver();

// Sets the registry value that moves the common directory; null removes it.
void SetCommonDirectory(const char* windowsPath);

}  // namespace resolvertest
