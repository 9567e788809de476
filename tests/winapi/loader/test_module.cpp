// A module for the loader tests: a DllMain that logs its calls into the
// environment variable QZ_TEST_DLLMAIN_LOG (the module is gone by the time
// a detach could be asked about) and refuses to attach while
// QZ_TEST_REFUSE_ATTACH is set, plus two exports.
#include <cstdlib>
#include <string>

#include <winbase.h>

namespace {

HINSTANCE instance = nullptr;
BOOL threadCallsDisabled = FALSE;

void Log(const char* event) {
  const char* before = std::getenv("QZ_TEST_DLLMAIN_LOG");
  std::string log = before == nullptr ? "" : before;
  setenv("QZ_TEST_DLLMAIN_LOG", (log + event).c_str(), 1);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    instance = hinstDLL;
    threadCallsDisabled = DisableThreadLibraryCalls(hinstDLL);
    Log("attach;");
    return std::getenv("QZ_TEST_REFUSE_ATTACH") == nullptr;
  }
  if (fdwReason == DLL_PROCESS_DETACH) Log("detach;");
  return TRUE;
}

extern "C" HINSTANCE TestModuleInstance() { return threadCallsDisabled ? instance : nullptr; }

extern "C" int TestModuleAnswer() { return 42; }
