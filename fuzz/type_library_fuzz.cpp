// Feeds arbitrary bytes to the type library reader, as a .tlb file or as a
// Windows module holding one, and walks every library that loads: any read
// outside the bytes or the library's own data is a finding.
#include <cstddef>
#include <cstdint>

#include "tests/winapi/oleaut/typelib/walk_library.h"
#include "winapi/oleaut/typelib/msft_reader.h"
#include "winapi/oleaut/typelib/pe_resources.h"
#include "winapi/oleaut/typelib/type_lib_object.h"

#include <oleauto.h>

using namespace qzwin::typelib;

// The fuzzer runs without the registry and the COM runtime: no imported
// library is ever registered, and IUnknown's IID comes from here.
EXTERN_C const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

WINOLEAUTAPI LoadRegTypeLib(REFGUID, WORD, WORD, LCID, ITypeLib** lib) {
  *lib = nullptr;
  return TYPE_E_LIBNOTREGISTERED;
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
