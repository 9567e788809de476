// A module for the loader tests: a DllMain that logs its calls into the
// environment variable QZ_TEST_DLLMAIN_LOG (the module is gone by the time
// a detach could be asked about) and, for runs in a child process, into the
// file named by QZ_TEST_DLLMAIN_FILE, together with the destruction of its
// globals. It refuses to attach while QZ_TEST_REFUSE_ATTACH is set, and has
// two exports.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <winbase.h>

namespace {

HINSTANCE instance = nullptr;
BOOL threadCallsDisabled = FALSE;

void LogToFile(const char* event) {
  const char* path = std::getenv("QZ_TEST_DLLMAIN_FILE");
  if (path == nullptr) return;
  if (FILE* file = std::fopen(path, "a")) {
    std::fputs(event, file);
    std::fclose(file);
  }
}

void Log(const char* event) {
  const char* before = std::getenv("QZ_TEST_DLLMAIN_LOG");
  std::string log = before == nullptr ? "" : before;
  setenv("QZ_TEST_DLLMAIN_LOG", (log + event).c_str(), 1);
  LogToFile(event);
}

struct Global {
  ~Global() { LogToFile("globals destroyed;"); }
} global;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    instance = hinstDLL;
    threadCallsDisabled = DisableThreadLibraryCalls(hinstDLL);
    Log("attach;");
    return std::getenv("QZ_TEST_REFUSE_ATTACH") == nullptr;
  }
  if (fdwReason == DLL_PROCESS_DETACH) Log(lpvReserved == nullptr ? "detach;" : "detach at exit;");
  return TRUE;
}

extern "C" HINSTANCE TestModuleInstance() { return threadCallsDisabled ? instance : nullptr; }

extern "C" int TestModuleAnswer() { return 42; }
