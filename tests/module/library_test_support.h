// The library qzschemas as a client loads it: its exports, the registry it
// writes and the files it leaves, on this test process's platform root.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

#include "support/cache_fixture.h"
#include "support/files.h"

namespace moduletest {

// The built library, held loaded for the life of the object.
class Library {
 public:
  Library();
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  HRESULT Register() { return Call("DllRegisterServer"); }
  HRESULT Unregister() { return Call("DllUnregisterServer"); }
  HRESULT CanUnloadNow() { return Call("DllCanUnloadNow"); }
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv);

  // The file name the registry gives for it ("Z:\...\qzschemas.so").
  std::string WindowsPath() const;

 private:
  HRESULT Call(const char* exportName);
  HMODULE module_ = nullptr;
};

// What a call printed on standard output; given back once, at the latest
// when the capture ends.
class StdoutCapture {
 public:
  StdoutCapture() { testing::internal::CaptureStdout(); }
  ~StdoutCapture() {
    if (!taken_) Take();
  }
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;
  std::string Take();

 private:
  bool taken_ = false;
};

// Every key below `path` of HKEY_CLASSES_ROOT, with its values, one line each
// ("CLSID\\{...}\\InprocServer32 @ = Z:\\..."), sorted; the key itself first.
std::string DumpClassesRoot(const std::string& path = "");

// Lines of `after` that `before` lacks, in order.
std::string AddedLines(const std::string& before, const std::string& after);

// Where a Windows path lies on this machine, and the bytes of a file there.
using cachetest::Posix;
using qztest::ReadFile;

// The stand-in's system directory and the resolver's schema cache.
constexpr const char* kSystemDirectory = "C:\\WINDOWS\\system32";
using cachetest::kCachePath;

// Each test starts with the library loaded and not registered on the
// platform of the cache tests, with an empty system directory.
class LibraryTest : public cachetest::PlatformTest {
 protected:
  void SetUp() override;

  Library library_;
};

}  // namespace moduletest
