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

// The test library's bytes, with access to its segments by number.
struct LibraryBytes {
  std::string bytes = ReadBytes(TYPELIB_TEST_TLB);
  static constexpr std::size_t kSegmentDirectory = 0x54 + 5 * 4;  // header, one INT per entry

  std::uint32_t Int(std::size_t at) const {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  }
  void SetInt(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  }
  std::size_t Segment(int index) const { return Int(kSegmentDirectory + index * 16); }
};

TEST(TypeLibMalformed, PointerLoopInTypeDescriptionsIsRefused) {
  LibraryBytes lib;
  // The first type description, VT_PTR to BSTR, made to point at itself.
  std::size_t first = lib.Segment(9);
  ASSERT_EQ(lib.Int(first) & 0xFFF, static_cast<std::uint32_t>(VT_PTR));
  lib.SetInt(first + 4, 0);
  EXPECT_EQ(LoadAndWalk(qztest::FreshDirectory("loop") / "loop.tlb", lib.bytes), TYPE_E_INVDATAREAD);
}

TEST(TypeLibMalformed, InterfacesDerivingInALoopAnswerWithoutEnd) {
  LibraryBytes lib;
  // ITestFirst (entry 0) made to derive from ITestSecond (entry 1), which derives from it.
  constexpr std::size_t kTypeInfoSize = 0x64;
  constexpr std::size_t kBaseOffset = 0x54;
  lib.SetInt(lib.Segment(0) + kBaseOffset, kTypeInfoSize);
  std::filesystem::path path = qztest::FreshDirectory("cycle") / "cycle.tlb";
  ASSERT_EQ(LoadAndWalk(path, lib.bytes), S_OK);

  ITypeLib* loaded = nullptr;
  ASSERT_EQ(LoadTypeLibEx(Wide(path.string()).c_str(), REGKIND_NONE, &loaded), S_OK);
  ITypeLibPtr owner(loaded, false);
  ITypeInfoPtr second = TypeOfGuid(loaded, IID_ITestSecond);
  FUNCDESC* desc = nullptr;
  EXPECT_EQ(second->GetFuncDesc(0, &desc), TYPE_E_ELEMENTNOTFOUND);
  BSTR name = nullptr;
  UINT count = 0;
  EXPECT_EQ(second->GetNames(1000, &name, 1, &count), TYPE_E_ELEMENTNOTFOUND);
  LPOLESTR missing[] = {const_cast<LPOLESTR>(OLESTR("missing"))};
  MEMBERID id = 0;
  EXPECT_TRUE(FAILED(second->GetIDsOfNames(missing, 1, &id)));
}

}  // namespace
}  // namespace typelibtest
