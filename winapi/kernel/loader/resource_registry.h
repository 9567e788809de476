// The resource tables that modules registered, by module handle.
#pragma once

#include <string>

#include <windef.h>
#include <qzwin/resources.h>

namespace qzwin::loader {

// A resource type or name as the API takes it: an integer
// (MAKEINTRESOURCEA, or a string "#123") or a string, compared in upper case.
struct ResourceKey {
  WORD id = 0;
  std::string name;  // upper case; empty for an integer key
};

// False for a null pointer or an empty string.
bool ToResourceKey(LPCSTR text, ResourceKey* key);

// Any language: neutral first, then US English, then the lowest language id.
constexpr WORD kAnyLanguage = 0;

// Finds a resource of `module`, which must be a module handle. On failure
// answers null with the Win32 error in `*error`.
const ResourceEntry* FindModuleResource(HMODULE module, const ResourceKey& type, const ResourceKey& name,
                                        WORD language, DWORD* error);

// True if `entry` is one of the resources that `module` has registered.
bool ModuleOwnsResource(HMODULE module, const ResourceEntry* entry);

}  // namespace qzwin::loader
