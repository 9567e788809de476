// LoadTypeLib and LoadTypeLibEx: a type library file, a Windows PE module
// with a TYPELIB resource, or one of the stand-in's modules (a shared object
// whose resources qz_add_resources compiled in). A module path may end in
// "\N" to name resource N instead of 1.
#include "msft_reader.h"
#include "pe_resources.h"
#include "text.h"
#include "type_lib_object.h"

#include <oleauto.h>
#include <windows.h>

#include <vector>

namespace {

using namespace qzwin::typelib;

// Larger files are refused: no type library comes near this.
constexpr std::size_t kMaxTypeLibFileBytes = 64u * 1024 * 1024;
constexpr std::size_t kSignatureBytes = 4;
constexpr WORD kDefaultResourceId = 1;
constexpr char kTypeLibResourceType[] = "TYPELIB";

enum class ReadResult { Ok, Missing, TooLarge };

// Up to `limit` bytes of the file; TooLarge when it holds more than that and
// `whole` asks for all of it.
ReadResult ReadFileBytes(const std::string& path, std::size_t limit, bool whole, std::vector<BYTE>* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return ReadResult::Missing;
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  std::uint64_t size = (std::uint64_t{high} << 32) | low;
  if (whole && size > limit) {
    CloseHandle(file);
    return ReadResult::TooLarge;
  }
  bytes->resize(static_cast<std::size_t>(size < limit ? size : limit));
  DWORD read = 0;
  BOOL ok = bytes->empty() || ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr);
  CloseHandle(file);
  if (!ok) return ReadResult::Missing;
  bytes->resize(read);
  return ReadResult::Ok;
}

HRESULT FromBytes(const BYTE* data, std::size_t size, ITypeLib** lib) {
  std::shared_ptr<const LibraryData> parsed;
  HRESULT hr = ReadMsftTypeLib(data, size, &parsed);
  if (FAILED(hr)) return hr;
  return CreateTypeLibObject(std::move(parsed), lib);
}

// Resource TYPELIB `id` of one of the stand-in's own modules.
HRESULT FromStandInModule(const std::string& path, WORD id, ITypeLib** lib) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) return TYPE_E_CANTLOADLIBRARY;
  HRESULT hr = TYPE_E_CANTLOADLIBRARY;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), kTypeLibResourceType);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes != nullptr) {
    // Copied by the reader, so the module may go.
    hr = FromBytes(static_cast<const BYTE*>(bytes), SizeofResource(module, found), lib);
  }
  FreeLibrary(module);
  return hr;
}

HRESULT FromFile(const std::string& path, WORD id, bool resourceNamed, ITypeLib** lib, bool* found) {
  std::vector<BYTE> bytes;
  *found = ReadFileBytes(path, kSignatureBytes, false, &bytes) == ReadResult::Ok;
  if (!*found) return TYPE_E_CANTLOADLIBRARY;
  bool typeLibFile = LooksLikeMsft(bytes.data(), bytes.size());
  bool peModule = LooksLikePeModule(bytes.data(), bytes.size());
  if (!typeLibFile && !peModule) return FromStandInModule(path, id, lib);
  if (typeLibFile && resourceNamed) return TYPE_E_CANTLOADLIBRARY;  // a file has no resources

  ReadResult whole = ReadFileBytes(path, kMaxTypeLibFileBytes, true, &bytes);
  if (whole == ReadResult::TooLarge) return TYPE_E_SIZETOOBIG;
  if (whole != ReadResult::Ok) return TYPE_E_CANTLOADLIBRARY;
  if (typeLibFile) return FromBytes(bytes.data(), bytes.size(), lib);
  const BYTE* resource = nullptr;
  std::size_t resourceSize = 0;
  if (!FindPeTypeLibResource(bytes.data(), bytes.size(), id, &resource, &resourceSize)) return TYPE_E_CANTLOADLIBRARY;
  return FromBytes(resource, resourceSize, lib);
}

// "module\N": the module's path and N, when the path ends that way.
bool SplitResourceId(const std::u16string& path, std::u16string* module, WORD* id) {
  std::size_t slash = path.find_last_of(u"\\/");
  if (slash == std::u16string::npos || slash == 0 || slash + 1 == path.size()) return false;
  unsigned value = 0;
  for (std::size_t i = slash + 1; i < path.size(); ++i) {
    if (path[i] < u'0' || path[i] > u'9') return false;
    value = value * 10 + static_cast<unsigned>(path[i] - u'0');
    if (value > 0xFFFF) return false;
  }
  *module = path.substr(0, slash);
  *id = static_cast<WORD>(value);
  return true;
}

}  // namespace

WINOLEAUTAPI LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) { return LoadTypeLibEx(szFile, REGKIND_DEFAULT, pptlib); }

WINOLEAUTAPI LoadTypeLibEx(LPCOLESTR szFile, REGKIND regkind, ITypeLib** pptlib) {
  if (pptlib == nullptr) return E_INVALIDARG;
  *pptlib = nullptr;
  if (szFile == nullptr) return E_INVALIDARG;
  std::u16string path(szFile);
  bool found = false;
  HRESULT hr = FromFile(ToNarrow(path), kDefaultResourceId, false, pptlib, &found);
  std::u16string module;
  WORD id = 0;
  if (!found && SplitResourceId(path, &module, &id)) {
    hr = FromFile(ToNarrow(module), id, true, pptlib, &found);
  }
  if (FAILED(hr)) return hr;
  if (regkind == REGKIND_REGISTER) {
    hr = RegisterTypeLib(*pptlib, szFile, nullptr);
    if (FAILED(hr)) {
      (*pptlib)->Release();
      *pptlib = nullptr;
    }
  }
  return hr;
}
