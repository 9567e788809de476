// Feeds arbitrary bytes to the type library reader, as a .tlb file or as a
// Windows module holding one, and walks every library that loads: any read
// outside the bytes or the library's own data is a finding.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "tests/winapi/oleaut/typelib/walk_library.h"
#include "winapi/oleaut/typelib/msft_reader.h"
#include "winapi/oleaut/typelib/pe_resources.h"
#include "winapi/oleaut/typelib/type_lib_object.h"

#include <oleauto.h>

using namespace qzwin::typelib;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // An imported library is looked up in the registry of a throw-away root.
  qzfuzz::StartPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const BYTE* bytes = data;
  std::size_t length = size;
  if (LooksLikePeModule(data, size) && !FindPeTypeLibResource(data, size, 1, &bytes, &length)) return 0;
  std::shared_ptr<const LibraryData> parsed;
  if (FAILED(ReadMsftTypeLib(bytes, length, &parsed))) return 0;
  ITypeLib* lib = nullptr;
  if (FAILED(CreateTypeLibObject(parsed, &lib))) return 0;
  typelibtest::WalkLibrary(lib);
  lib->Release();
  return 0;
}
