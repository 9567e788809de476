// FindResourceA and friends over the tables that modules registered. An HRSRC
// is the address of a table entry, an HGLOBAL that of the resource's bytes,
// which stay where the module keeps them until it is unloaded.
#include <libloaderapi.h>
#include <winbase.h>

#include "module_map.h"
#include "resource_registry.h"

using namespace qzwin::loader;

namespace {

HRSRC Find(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD language) {
  HMODULE module = hModule == nullptr ? MainModule() : hModule;
  if (!IsModuleHandle(module)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ResourceKey type;
  ResourceKey name;
  if (!ToResourceKey(lpType, &type)) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  if (!ToResourceKey(lpName, &name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  DWORD error = ERROR_SUCCESS;
  const qzwin::ResourceEntry* entry = FindModuleResource(module, type, name, language, &error);
  if (entry == nullptr) SetLastError(error);
  return reinterpret_cast<HRSRC>(const_cast<qzwin::ResourceEntry*>(entry));
}

// The entry behind `hResInfo` if it is a resource of the module, else null.
const qzwin::ResourceEntry* EntryOf(HMODULE hModule, HRSRC hResInfo) {
  auto* entry = reinterpret_cast<const qzwin::ResourceEntry*>(hResInfo);
  HMODULE module = hModule == nullptr ? MainModule() : hModule;
  if (entry == nullptr || !ModuleOwnsResource(module, entry)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return entry;
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  return Find(hModule, lpType, lpName, kAnyLanguage);
}

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
  return Find(hModule, lpType, lpName, wLanguage);
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
  const qzwin::ResourceEntry* entry = EntryOf(hModule, hResInfo);
  return entry == nullptr ? nullptr : const_cast<BYTE*>(entry->data);
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  const qzwin::ResourceEntry* entry = EntryOf(hModule, hResInfo);
  return entry == nullptr ? 0 : entry->size;
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

// Resources need no freeing; like Win32, this answers FALSE.
BOOL WINAPI FreeResource(HGLOBAL hResData) { return FALSE; }
