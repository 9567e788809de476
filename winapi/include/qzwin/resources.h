// Module resources on POSIX. The resource compiler (qzrc) turns a module's
// resource script into a table of these entries; a static object in the
// generated source registers the table when the module is loaded and
// unregisters it when the module is unloaded. FindResourceA and friends then
// find the entries by the module's handle.
#pragma once

#include <cstddef>

#include <windef.h>

namespace qzwin {

// One resource: its type, its integer name, its language and its bytes.
struct ResourceEntry {
  WORD typeId;           // a numeric type (RT_HTML is 23); 0 when typeName is set
  const char* typeName;  // a named type in upper case ("REGISTRY"), else nullptr
  WORD nameId;           // the integer name (MAKEINTRESOURCEA)
  WORD language;         // MAKELANGID(primary, sub)
  const BYTE* data;      // never null, also for an empty resource
  DWORD size;
};

struct ResourceTable {
  const ResourceEntry* entries;
  std::size_t count;
};

// Makes the table's resources those of the module that contains `anchor` (any
// address inside that module, e.g. the table itself). A module may register
// several tables; lookups search them all in the order they were registered.
// Returns false if `anchor` lies in no loaded module.
bool RegisterModuleResources(const void* anchor, const ResourceTable* table);

// Forgets a table registered before; unknown tables are ignored.
void UnregisterModuleResources(const ResourceTable* table);

}  // namespace qzwin
