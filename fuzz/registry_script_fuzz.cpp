// Expands and reads arbitrary bytes as a registry script. Whatever the
// input, reading ends with S_OK or DISP_E_EXCEPTION, and a script that reads
// holds only what the registrar can write: key names that are one key each,
// DWORD values of four bytes, terminated strings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "registry_script.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckValue(const ATL::RegistryScriptValue& value) {
  switch (value.type) {
    case REG_SZ: Check(!value.data.empty() && value.data.back() == '\0'); break;
    case REG_DWORD: Check(value.data.size() == sizeof(DWORD)); break;
    case REG_MULTI_SZ: Check(value.data.size() >= 2 && value.data.compare(value.data.size() - 2, 2, "\0\0", 2) == 0); break;
    case REG_BINARY: break;
    default: Check(false);
  }
}

void CheckEntries(const std::vector<ATL::RegistryScriptEntry>& entries, size_t depth) {
  Check(depth <= ATL::kRegistryScriptMaxDepth);
  for (const ATL::RegistryScriptEntry& entry : entries) {
    if (entry.hasValue) CheckValue(entry.value);
    if (entry.isNamedValue) {
      Check(entry.hasValue && entry.children.empty());
      continue;
    }
    Check(!entry.name.empty() && entry.name.find('\\') == std::string::npos);
    CheckEntries(entry.children, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view script(reinterpret_cast<const char*>(data), size);
  std::vector<ATL::RegistryReplacement> replacements = {{"MODULE", "C:\\Program Files\\it''s\\qz.dll"}};
  std::string expanded;
  HRESULT hr = ATL::ExpandRegistryScript(script, replacements, &expanded);
  Check(hr == S_OK || hr == DISP_E_EXCEPTION);
  std::vector<ATL::RegistryScriptRoot> roots;
  hr = ATL::ParseRegistryScript(SUCCEEDED(hr) ? std::string_view(expanded) : script, &roots);
  Check(hr == S_OK || hr == DISP_E_EXCEPTION);
  if (FAILED(hr)) {
    Check(roots.empty());
    return 0;
  }
  for (const ATL::RegistryScriptRoot& root : roots) {
    Check(root.key != NULL);
    CheckEntries(root.entries, 1);
  }
  return 0;
}
