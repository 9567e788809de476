#include <cstdio>
#include <string>

#include <windows.h>

#include <qzwin/platform.h>
#include <qzwin/registry.h>

#include "command_line.h"
#include "commands.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas doctor\n"
    "Shows where the Windows stand-in keeps this machine: the platform root, the drives, the system\n"
    "directory, the registry file and the COM classes registered in it.\n";

constexpr DWORD kKeyNameSize = 256;
constexpr DWORD kValueSize = 1024;

void PrintRow(const char* label, const std::string& value) { std::printf("%-18s %s\n", label, value.c_str()); }

std::string PosixOf(const std::string& windowsPath) {
  std::string posix;
  return qzwin::ToPosixPath(windowsPath, &posix) ? posix : std::string("(cannot be mapped)");
}

// The default value of hKey\subKey as text, or "" when there is none.
std::string DefaultValue(HKEY hKey, const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(hKey, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char value[kValueSize] = "";
  DWORD size = sizeof(value) - 1;
  DWORD type = REG_NONE;
  LSTATUS status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return "";
  value[size < sizeof(value) ? size : sizeof(value) - 1] = '\0';
  return value;
}

void PrintRegisteredClasses() {
  std::printf("\nCOM classes registered in HKEY_CLASSES_ROOT\\CLSID:\n");
  HKEY classes = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &classes) != ERROR_SUCCESS) {
    std::printf("  (none)\n");
    return;
  }
  DWORD count = 0;
  for (DWORD index = 0;; ++index) {
    char name[kKeyNameSize];
    DWORD nameSize = kKeyNameSize;
    if (RegEnumKeyExA(classes, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    ++count;
    std::string server = DefaultValue(classes, (std::string(name) + "\\InprocServer32").c_str());
    std::printf("  %s  %s\n", name, DefaultValue(classes, name).c_str());
    if (!server.empty()) std::printf("      InprocServer32: %s\n", server.c_str());
  }
  RegCloseKey(classes);
  if (count == 0) std::printf("  (none)\n");
}

}  // namespace

int Doctor(int argc, char** argv) {
  if (argc > 0) return PrintUsage(kUsage, IsHelp(argv[0]));
  std::string root = qzwin::PlatformRoot();
  PrintRow("platform root", root);
  PrintRow("drive C:", PosixOf("C:\\"));
  PrintRow("drive Z:", PosixOf("Z:\\"));

  char systemDirectory[MAX_PATH] = "";
  UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    PrintRow("system directory", "(not available)");
  } else {
    PrintRow("system directory", systemDirectory);
    PrintRow("", PosixOf(systemDirectory));
  }
  PrintRow("registry file", qzwin::RegistryFilePath());
  PrintRegisteredClasses();
  return 0;
}

}  // namespace qzcli
