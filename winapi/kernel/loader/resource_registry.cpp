#include "resource_registry.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include <winerror.h>

#include "module_map.h"

namespace qzwin::loader {
namespace {

constexpr WORD kUsEnglish = 0x0409;

// Never destroyed: modules unregister from their static destructors, which may
// run after this library's own.
struct Registry {
  std::mutex lock;
  std::map<HMODULE, std::vector<const ResourceTable*>> tables;
};

Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

// Lookups must not call into the dynamic loader while holding the registry's
// lock: modules register from constructors that run under the loader's lock.

bool Matches(const ResourceKey& key, WORD id, const char* name) {
  if (key.name.empty()) return name == nullptr && id == key.id;
  return name != nullptr && key.name == name;
}

// How well a language answers a request for any language; lower is better.
unsigned LanguageRank(WORD language) {
  if (language == 0) return 0;
  if (language == kUsEnglish) return 1;
  return 2 + language;
}

}  // namespace

bool ToResourceKey(LPCSTR text, ResourceKey* key) {
  if (text == nullptr) return false;
  if (IS_INTRESOURCE(text)) {
    key->id = LOWORD(text);
    key->name.clear();
    return true;
  }
  std::size_t length = std::strlen(text);
  if (length == 0) return false;
  if (text[0] == '#') {
    unsigned value = 0;
    auto [end, status] = std::from_chars(text + 1, text + length, value);
    if (status == std::errc() && end == text + length && value <= 0xFFFF) {
      key->id = static_cast<WORD>(value);
      key->name.clear();
      return true;
    }
  }
  key->id = 0;
  key->name.assign(text, length);
  for (char& c : key->name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return true;
}

const ResourceEntry* FindModuleResource(HMODULE module, const ResourceKey& type, const ResourceKey& name,
                                        WORD language, DWORD* error) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto found = registry.tables.find(module);
  if (found == registry.tables.end()) {
    *error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return nullptr;
  }

  bool typeSeen = false;
  bool nameSeen = false;
  const ResourceEntry* best = nullptr;
  for (const ResourceTable* table : found->second) {
    for (std::size_t i = 0; i < table->count; ++i) {
      const ResourceEntry& entry = table->entries[i];
      if (!Matches(type, entry.typeId, entry.typeName)) continue;
      typeSeen = true;
      if (!name.name.empty() || entry.nameId != name.id) continue;
      nameSeen = true;
      if (language != kAnyLanguage) {
        if (entry.language == language) return &entry;
      } else if (best == nullptr || LanguageRank(entry.language) < LanguageRank(best->language)) {
        best = &entry;
      }
    }
  }
  if (best != nullptr) return best;
  *error = !typeSeen ? ERROR_RESOURCE_TYPE_NOT_FOUND
           : !nameSeen ? ERROR_RESOURCE_NAME_NOT_FOUND
                       : ERROR_RESOURCE_LANG_NOT_FOUND;
  return nullptr;
}

bool ModuleOwnsResource(HMODULE module, const ResourceEntry* entry) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto found = registry.tables.find(module);
  if (found == registry.tables.end()) return false;
  for (const ResourceTable* table : found->second) {
    if (entry >= table->entries && entry < table->entries + table->count) return true;
  }
  return false;
}

}  // namespace qzwin::loader

namespace qzwin {

bool RegisterModuleResources(const void* anchor, const ResourceTable* table) {
  HMODULE module = loader::ModuleContaining(anchor);  // before the lock, see above
  if (module == nullptr || table == nullptr) return false;
  loader::Registry& registry = loader::TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.tables[module].push_back(table);
  return true;
}

void UnregisterModuleResources(const ResourceTable* table) {
  loader::Registry& registry = loader::TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (auto module = registry.tables.begin(); module != registry.tables.end(); ++module) {
    auto& tables = module->second;
    for (auto it = tables.begin(); it != tables.end(); ++it) {
      if (*it != table) continue;
      tables.erase(it);
      if (tables.empty()) registry.tables.erase(module);
      return;
    }
  }
}

}  // namespace qzwin
