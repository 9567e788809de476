#include "schema_service.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <qzwin/platform.h>

namespace qzcli {

int WithSchemaService(const std::function<int(IQZXMLSchemaService2*)>& body) {
  if (FAILED(CoInitialize(nullptr))) return kCommandFailed;
  int status = kNoService;
  IQZXMLSchemaService2Ptr service;
  const HRESULT hr = CoCreateInstance(__uuidof(QZXMLSchemaService), nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(IQZXMLSchemaService2), reinterpret_cast<void**>(&service));
  if (hr == REGDB_E_CLASSNOTREG) {
    std::fprintf(stderr,
                 "qzschemas: the schema service is not registered in the platform root %s.\n"
                 "Set the platform up with 'qzschemas setup'.\n",
                 qzwin::PlatformRoot().c_str());
  } else if (FAILED(hr)) {
    std::fprintf(stderr,
                 "qzschemas: the schema service cannot be created: %s.\n"
                 "Its registration may name a library that is gone: run 'qzschemas setup' again.\n",
                 Describe(hr).c_str());
  } else {
    status = body(service);
  }
  service = nullptr;
  CoUninitialize();
  return status;
}

std::string WindowsPathOf(const char* argument) {
  const bool drivePath = std::isalpha(static_cast<unsigned char>(argument[0])) && argument[1] == ':';
  if (drivePath || argument[0] == '\\' || argument[0] == '\0') return argument;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
  return error ? std::string(argument) : qzwin::ToWindowsPath(absolute.lexically_normal().string());
}

std::string Describe(HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  return std::string(code) + " (" + _com_error(hr).ErrorMessage() + ")";
}

}  // namespace qzcli
