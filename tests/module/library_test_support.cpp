#include "library_test_support.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace moduletest {
namespace {

constexpr DWORD kNameSize = 256;
constexpr DWORD kValueSize = 1024;

void DumpKey(HKEY key, const std::string& path, std::vector<std::string>* lines) {
  lines->push_back(path);
  for (DWORD index = 0;; ++index) {
    char name[kNameSize];
    DWORD nameSize = kNameSize;
    BYTE value[kValueSize];
    DWORD valueSize = kValueSize;
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, value, &valueSize) != ERROR_SUCCESS) break;
    std::string text = type == REG_SZ ? std::string(reinterpret_cast<char*>(value)) : "<type " + std::to_string(type) + ">";
    lines->push_back(path + " " + (name[0] == '\0' ? "@" : name) + " = " + text);
  }
  for (DWORD index = 0;; ++index) {
    char name[kNameSize];
    DWORD nameSize = kNameSize;
    if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
    DumpKey(child, path.empty() ? name : path + "\\" + name, lines);
    RegCloseKey(child);
  }
}

}  // namespace

Library::Library() {
  module_ = LoadLibraryA(QZ_LIBRARY);
  EXPECT_NE(module_, nullptr) << QZ_LIBRARY << " does not load: " << GetLastError();
}

Library::~Library() {
  if (module_ != nullptr) FreeLibrary(module_);
}

HRESULT Library::Call(const char* exportName) {
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module_, exportName));
  return entry != nullptr ? entry() : E_UNEXPECTED;
}

HRESULT Library::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      GetProcAddress(module_, "DllGetClassObject"));
  return entry != nullptr ? entry(clsid, iid, ppv) : E_UNEXPECTED;
}

std::string Library::WindowsPath() const {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(module_, path, MAX_PATH);
  return path;
}

std::string StdoutCapture::Take() {
  taken_ = true;
  fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

std::string DumpClassesRoot(const std::string& path) {
  std::vector<std::string> lines;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return "";
  }
  DumpKey(key, path, &lines);
  RegCloseKey(key);
  std::string text;
  for (const std::string& line : std::multiset<std::string>(lines.begin(), lines.end())) text += line + "\n";
  return text;
}

std::string AddedLines(const std::string& before, const std::string& after) {
  std::set<std::string> old;
  std::istringstream beforeLines(before);
  for (std::string line; std::getline(beforeLines, line);) old.insert(line);
  std::string added;
  std::istringstream afterLines(after);
  for (std::string line; std::getline(afterLines, line);) {
    if (old.count(line) == 0) added += line + "\n";
  }
  return added;
}

void LibraryTest::SetUp() {
  PlatformTest::SetUp();
  if (HasFatalFailure()) return;
  std::filesystem::remove_all(Posix(kSystemDirectory));
  std::filesystem::create_directories(Posix(kSystemDirectory));
  library_.Unregister();
}

}  // namespace moduletest
