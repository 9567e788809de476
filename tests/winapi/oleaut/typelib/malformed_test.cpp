// Damaged libraries: every answer is a failing HRESULT or a library whose
// every description can be read, never a read outside the file.
#include "typelib_test_support.h"

#include "support/temp_root.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace typelibtest {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Loads `bytes` as a library file; a library that loads is walked whole.
HRESULT LoadAndWalk(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLibEx(Wide(path.string()).c_str(), REGKIND_NONE, &lib);
  if (SUCCEEDED(hr)) {
    WalkLibrary(lib);
    lib->Release();
  }
  return hr;
}

TEST(TypeLibMalformed, EveryTruncationFailsCleanly) {
  std::string whole = ReadBytes(TYPELIB_TEST_TLB);
  std::filesystem::path path = qztest::FreshDirectory("truncated") / "cut.tlb";
  // Every seventh length, and each of the last few.
  for (std::size_t length = 0; length < whole.size(); length += (length + 16 < whole.size() ? 7 : 1)) {
    HRESULT hr = LoadAndWalk(path, whole.substr(0, length));
    // The last bytes are padding no entry points into; anything shorter is refused.
    if (length < 4) {
      EXPECT_EQ(hr, TYPE_E_CANTLOADLIBRARY) << length;
    } else if (length < whole.size() - 8) {
      EXPECT_EQ(hr, TYPE_E_INVDATAREAD) << length;
    }
  }
}

TEST(TypeLibMalformed, CorruptedBytesNeverReadOutsideTheFile) {
  std::string whole = ReadBytes(TYPELIB_TEST_TLB);
  std::filesystem::path path = qztest::FreshDirectory("corrupted") / "bad.tlb";
  std::mt19937 random(20261206);
  const char values[] = {'\0', '\x01', '\x7F', '\x80', '\xFF'};
  int loaded = 0;
  for (int round = 0; round < 400; ++round) {
    std::string bytes = whole;
    for (int changes = 1 + round % 3; changes > 0; --changes) {
      std::size_t at = 4 + random() % (bytes.size() - 4);
      bytes[at] = values[random() % sizeof values];
    }
    if (SUCCEEDED(LoadAndWalk(path, bytes))) ++loaded;
  }
  EXPECT_GT(loaded, 0);  // some damage leaves a readable library, which was walked
}

TEST(TypeLibMalformed, PointerLoopInTypeDescriptionsIsRefused) {
  std::string bytes = ReadBytes(TYPELIB_TEST_TLB);
  // The first type description, VT_PTR to BSTR, made to point at itself.
  std::size_t directory = 0x54 + 5 * 4;
  std::size_t typeDescSegment = directory + 9 * 16;
  auto readInt = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                      static_cast<unsigned char>(bytes[at + 2]) << 16 |
                                      static_cast<unsigned char>(bytes[at + 3]) << 24);
  };
  std::size_t first = readInt(typeDescSegment);
  ASSERT_EQ(readInt(first) & 0xFFF, static_cast<std::uint32_t>(VT_PTR));
  for (int i = 0; i < 4; ++i) bytes[first + 4 + i] = 0;
  EXPECT_EQ(LoadAndWalk(qztest::FreshDirectory("loop") / "loop.tlb", bytes), TYPE_E_INVDATAREAD);
}

}  // namespace
}  // namespace typelibtest
