// Takes arbitrary bytes as the stand-in's registry file, found on disk by a
// key store. Whatever the bytes, the store either reads them or puts the
// file aside and starts empty; a registry it read is written in a form that
// reads back the same, and a change to it is written and seen by another
// store on the same file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include <winerror.h>
#include <winreg.h>

#include "fuzz/fuzz_support.h"
#include "winapi/registry/hive_format.h"
#include "winapi/registry/file_store.h"
#include "winapi/registry/registry_text.h"

using namespace qzwin::registry;

namespace {

const std::u16string kFuzzKey = u"QZFUZZ";

LONG AddKeyAndValue(Hive& hive, bool* changed) {
  RegKey& machine = hive.roots[kLocalMachine];
  RegKey* key = machine.FindSubkey(FoldName(kFuzzKey));
  if (key == nullptr) key = &machine.AddSubkey(kFuzzKey, 1);
  key->SetValue(u"Seen", REG_DWORD, {1, 0, 0, 0});
  *changed = true;
  return ERROR_SUCCESS;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qzfuzz::StartPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = qzfuzz::Root() / "registry";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "registry.txt";
  qzfuzz::WriteBytes(file, data, size);

  KeyStore store(file.string());
  qzfuzz::Check(store.Refresh() == ERROR_SUCCESS);
  if (std::filesystem::exists(file)) {
    // Read, not put aside: the written form reads back as the same registry.
    std::string text = FormatHive(store.Current());
    Hive again;
    std::string error;
    qzfuzz::Check(ParseHive(text, &again, &error));
    qzfuzz::Check(FormatHive(again) == text);
  }
  qzfuzz::Check(store.Change(AddKeyAndValue) == ERROR_SUCCESS);
  KeyStore other(file.string());
  qzfuzz::Check(other.Refresh() == ERROR_SUCCESS);
  const RegKey* key = other.Current().roots[kLocalMachine].FindSubkey(FoldName(kFuzzKey));
  qzfuzz::Check(key != nullptr && key->FindValue(u"Seen") != nullptr);
  return 0;
}
