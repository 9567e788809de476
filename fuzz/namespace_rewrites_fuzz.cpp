// Runs both rewrites on arbitrary bytes and compares them with a plain
// character-by-character model: same length, same result, nothing touched
// past the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "schemas/NamespaceRewrites.h"

namespace {

// The text as a sequence of units, with where each unit lives in the bytes.
struct Model {
  bool wide;
  std::vector<unsigned> units;

  Model(const unsigned char* data, size_t size) : wide(!(size > 0 && data[0] == '<')) {
    const size_t count = wide ? size / 2 : size;
    for (size_t i = 0; i < count; ++i) {
      const unsigned unit = wide ? data[2 * i] | (data[2 * i + 1] << 8) : data[i];
      if (unit == 0) break;
      units.push_back(unit);
    }
  }

  void StoreInto(unsigned char* data) const {
    for (size_t i = 0; i < units.size(); ++i) {
      if (wide) {
        data[2 * i] = static_cast<unsigned char>(units[i] & 0xFF);
        data[2 * i + 1] = static_cast<unsigned char>(units[i] >> 8);
      } else {
        data[i] = static_cast<unsigned char>(units[i]);
      }
    }
  }

  bool At(size_t p, const char* pattern) const {
    const size_t length = std::strlen(pattern);
    if (p + length > units.size()) return false;
    for (size_t i = 0; i < length; ++i) {
      if (units[p + i] != static_cast<unsigned char>(pattern[i])) return false;
    }
    return true;
  }

  void ClearEmpty() {
    for (size_t p = 0; p < units.size(); ++p) {
      if (At(p, "xmlns=\"\"")) {
        for (size_t i = 0; i < 8; ++i) units[p + i] = ' ';
      }
    }
  }

  void StripDirectories() {
    for (size_t p = 0; p < units.size(); ++p) {
      if (!At(p, "xmlns=\"x-schema:")) continue;
      size_t quote = p + 16;
      while (quote < units.size() && units[quote] != '"') ++quote;
      if (quote >= units.size()) continue;
      size_t slash = 0;
      bool found = false;
      for (size_t i = p + 16; i < quote; ++i) {
        if (units[i] == '\\') {
          slash = i;
          found = true;
        }
      }
      const size_t run = quote - p + 1;
      if (!found || run > kMaxSchemaDeclarationRun) continue;
      std::vector<unsigned> rewritten(units.begin() + static_cast<long>(p), units.begin() + static_cast<long>(p) + 16);
      rewritten.insert(rewritten.end(), units.begin() + static_cast<long>(slash) + 1,
                       units.begin() + static_cast<long>(quote) + 1);
      rewritten.resize(run, ' ');
      std::copy(rewritten.begin(), rewritten.end(), units.begin() + static_cast<long>(p));
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  // An exact-size copy, so that ASan sees any access past the data.
  std::vector<unsigned char> actual(input, input + size);
  ClearEmptyNamespaceDeclarations(actual.data(), actual.size());
  StripSchemaDirectories(actual.data(), actual.size());

  std::vector<unsigned char> expected(input, input + size);
  Model model(expected.data(), expected.size());
  model.ClearEmpty();
  model.StripDirectories();
  model.StoreInto(expected.data());

  if (actual != expected) std::abort();
  return 0;
}
