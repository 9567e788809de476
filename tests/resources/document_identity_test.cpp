// The built-in documents byte for byte. The platform's applications and
// installers read them as they stand, odd names, line ends and all, so a
// change to one must come with its new fingerprint here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "documents.h"

namespace {

// FNV-1a over the bytes: short to state, and any changed byte changes it.
std::uint64_t Fingerprint(const std::string& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001b3u;
  }
  return hash;
}

TEST(DocumentIdentity, EachBuiltInDocumentIsTheOneThePlatformReads) {
  const struct {
    const char* file;
    std::size_t size;
    std::uint64_t fingerprint;
  } documents[] = {
      {"Tavel-basic-datatypes.xml", 29188, 0x38202b0a135d7540u},
      {"Componentmanager-Schema.xml", 961, 0xb4c31d1bf6df7047u},
      {"Standard-report.xml", 7881, 0x496154f2de663240u},
      {"QZTemplates.xml", 2799, 0x767a8f09a1102d75u},
      {"QZTableAutoFill.xml", 2339, 0x2ea941a1001f21e5u},
      {"qzschemas.xml", 918, 0xf74280cf338dc38bu},
      {"qzschemaerr.htm", 6756, 0xa10a123936fa3410u},
      {"QZXMLSchemaService.rgs", 717, 0xd306c7d3da71ffbfu},
  };
  for (const auto& document : documents) {
    SCOPED_TRACE(document.file);
    const std::string bytes = qzdocs::ReadDocumentFile(document.file);
    EXPECT_EQ(document.size, bytes.size());
    EXPECT_EQ(document.fingerprint, Fingerprint(bytes));
  }
}

}  // namespace
