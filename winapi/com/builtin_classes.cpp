#include "builtin_classes.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace qzwin::com {
namespace {

struct BuiltinClass {
  CLSID clsid;
  BuiltinClassObjectGetter getClassObject;
  std::u16string progId;
};

// Built-in classes register from static constructors of other libraries,
// possibly before this library's own globals exist: the table is made on
// first use.
struct BuiltinTable {
  std::mutex mutex;
  std::vector<BuiltinClass> classes;
};

BuiltinTable& Table() {
  static BuiltinTable* table = new BuiltinTable;  // never destroyed: lookups may come during exit
  return *table;
}

OLECHAR FoldCase(OLECHAR c) { return (c >= u'A' && c <= u'Z') ? static_cast<OLECHAR>(c - u'A' + u'a') : c; }

bool SameProgId(const std::u16string& a, const std::u16string& b) {
  return std::ranges::equal(a, b, [](OLECHAR x, OLECHAR y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace

BuiltinClassObjectGetter FindBuiltinClass(REFCLSID clsid) {
  BuiltinTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (const BuiltinClass& c : table.classes) {
    if (c.clsid == clsid) return c.getClassObject;
  }
  return nullptr;
}

bool FindBuiltinProgId(REFCLSID clsid, std::u16string* progId) {
  BuiltinTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (const BuiltinClass& c : table.classes) {
    if (c.clsid == clsid && !c.progId.empty()) {
      *progId = c.progId;
      return true;
    }
  }
  return false;
}

bool FindBuiltinClassByProgId(const std::u16string& progId, CLSID* clsid) {
  BuiltinTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (const BuiltinClass& c : table.classes) {
    if (!c.progId.empty() && SameProgId(c.progId, progId)) {
      *clsid = c.clsid;
      return true;
    }
  }
  return false;
}

}  // namespace qzwin::com

void qzwin::RegisterBuiltinClass(REFCLSID clsid, BuiltinClassObjectGetter getClassObject, const OLECHAR* progId) {
  com::BuiltinTable& table = com::Table();
  std::lock_guard lock(table.mutex);
  std::erase_if(table.classes, [&](const com::BuiltinClass& c) { return c.clsid == clsid; });
  table.classes.push_back({clsid, getClassObject, progId != nullptr ? std::u16string(progId) : std::u16string()});
}
