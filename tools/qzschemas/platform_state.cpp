#include "platform_state.h"

#include <comdef.h>
#include <objbase.h>

#include <qzwin/platform.h>

#include "PlatformPathResolver.h"
#include "qzschemas.h"

namespace qzcli {
namespace {

constexpr int kGuidTextSize = 40;
constexpr DWORD kServerPathSize = 1024;

}  // namespace

std::string RegisteredServer(REFCLSID clsid) {
  OLECHAR wide[kGuidTextSize];
  if (StringFromGUID2(clsid, wide, kGuidTextSize) == 0) return "";
  const std::string key = std::string("CLSID\\") + static_cast<const char*>(_bstr_t(wide)) + "\\InprocServer32";
  HKEY server = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &server) != ERROR_SUCCESS) return "";
  char path[kServerPathSize] = "";
  DWORD size = sizeof(path) - 1;
  DWORD type = REG_NONE;
  const LSTATUS status = RegQueryValueExA(server, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(server);
  if (status != ERROR_SUCCESS || type != REG_SZ) return "";
  path[size < sizeof(path) ? size : sizeof(path) - 1] = '\0';
  return path;
}

std::string RegisteredResolver() { return RegisteredServer(CLSID_PlatformPathResolver); }

std::string RegisteredSchemaService() { return RegisteredServer(CLSID_QZXMLSchemaService); }

std::string PosixPathOf(const char* windowsPath) {
  std::string posix;
  return windowsPath != nullptr && qzwin::ResolvePosixPath(windowsPath, &posix) ? posix : "(cannot be mapped)";
}

}  // namespace qzcli
