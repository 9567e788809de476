// qzschemas regsvr [/u] [/s] [LIBRARY]: registers or unregisters an
// in-process server by calling its DllRegisterServer or DllUnregisterServer,
// as regsvr32 does. Without LIBRARY, the qzschemas module built beside this
// client. Exit codes: 0 done, 2 usage, 1 the library did not load, has no
// such entry point, or the call failed.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include <windows.h>
#include <comdef.h>

#include "built_modules.h"
#include "commands.h"
#include "command_line.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas regsvr [/u] [/s] [LIBRARY]\n"
    "Calls DllRegisterServer of an in-process server (with /u DllUnregisterServer), by default of\n"
    "the qzschemas library built beside this client; /s prints nothing. Exits 1 when the library\n"
    "does not load, has no such entry point or the call fails.\n";

struct Options {
  bool unregister = false;
  bool silent = false;
  std::string library;
};

// "/u" and "-u" alike, in either case.
bool IsSwitch(const char* argument, char letter) {
  return (argument[0] == '/' || argument[0] == '-') && std::tolower(static_cast<unsigned char>(argument[1])) == letter &&
         argument[2] == '\0';
}

// An option this command does not know: "-x...", or "/x" (a path is longer).
bool IsOtherSwitch(const char* argument) {
  return argument[0] == '-' || (argument[0] == '/' && std::strlen(argument) == 2);
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 0; i < argc; ++i) {
    if (IsSwitch(argv[i], 'u')) {
      options->unregister = true;
    } else if (IsSwitch(argv[i], 's')) {
      options->silent = true;
    } else if (IsOtherSwitch(argv[i]) || !options->library.empty()) {
      return false;
    } else {
      options->library = argv[i];
    }
  }
  if (options->library.empty()) options->library = BuiltModulePath("qzschemas.so");
  return true;
}

// Standard output while the server runs. Servers print messages without a
// line break after them; passed on with one, they stay apart from the
// report that follows.
class ServerOutput {
 public:
  ServerOutput() {
    std::fflush(stdout);
    capture_ = std::tmpfile();
    saved_ = capture_ != nullptr ? dup(STDOUT_FILENO) : -1;
    if (saved_ >= 0) dup2(fileno(capture_), STDOUT_FILENO);
  }
  ServerOutput(const ServerOutput&) = delete;
  ServerOutput& operator=(const ServerOutput&) = delete;
  ~ServerOutput() {
    if (capture_ != nullptr) std::fclose(capture_);
  }

  // Gives standard output back and what was printed to it.
  std::string Finish() {
    std::string text;
    if (saved_ < 0) return text;
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    saved_ = -1;
    std::rewind(capture_);
    char buffer[kCopyBufferSize];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, capture_)) > 0;) text.append(buffer, read);
    return text;
  }

 private:
  static constexpr size_t kCopyBufferSize = 4096;
  FILE* capture_ = nullptr;
  int saved_ = -1;
};

// Prints "0x80004005 Unspecified error" for hr.
void PrintFailure(const char* what, HRESULT hr) {
  std::fprintf(stderr, "qzschemas regsvr: %s: 0x%08X %s\n", what, static_cast<unsigned>(hr),
               _com_error(hr).ErrorMessage());
}

}  // namespace

int Regsvr(int argc, char** argv) {
  Options options;
  if (argc == 1 && IsHelp(argv[0])) return PrintUsage(kUsage, true);
  if (!ParseOptions(argc, argv, &options)) return PrintUsage(kUsage, false);
  return RegisterServer(options.library.c_str(), options.unregister, options.silent);
}

int RegisterServer(const char* library, bool unregister, bool silent) {
  const char* entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";

  // Servers create COM objects while they register (the path resolver, XML
  // documents), so the thread is a COM apartment first.
  const HRESULT hrInit = CoInitialize(nullptr);
  int status = 0;
  HMODULE module = LoadLibraryA(library);
  if (module == nullptr) {
    if (!silent) PrintFailure((std::string("cannot load ") + library).c_str(), HRESULT_FROM_WIN32(GetLastError()));
    status = kCommandFailed;
  } else {
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, entryName));
    ServerOutput output;
    const HRESULT hr = entry != nullptr ? entry() : S_OK;
    const std::string printed = output.Finish();
    if (!silent && !printed.empty()) {
      std::fputs(printed.c_str(), stdout);
      if (printed.back() != '\n') std::fputc('\n', stdout);
    }
    if (entry == nullptr) {
      if (!silent) {
        std::fprintf(stderr, "qzschemas regsvr: %s was loaded, but it has no entry point %s\n", library, entryName);
      }
      status = kCommandFailed;
    } else if (FAILED(hr)) {
      if (!silent) PrintFailure((std::string(entryName) + " in " + library + " failed").c_str(), hr);
      status = kCommandFailed;
    } else if (!silent) {
      std::printf("%s in %s succeeded.\n", entryName, library);
    }
    FreeLibrary(module);
  }
  if (SUCCEEDED(hrInit)) CoUninitialize();
  return status;
}

}  // namespace qzcli
