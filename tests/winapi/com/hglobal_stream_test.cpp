// Streams on global memory, as the system uses them: a whole file written
// in, the stream sought back to the start and read by a parser.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <objbase.h>
#include <winbase.h>

namespace {

LARGE_INTEGER Move(LONGLONG by) {
  LARGE_INTEGER move;
  move.QuadPart = by;
  return move;
}

ULARGE_INTEGER Size(ULONGLONG size) {
  ULARGE_INTEGER value;
  value.QuadPart = size;
  return value;
}

ULONGLONG Position(IStream* stream) {
  ULARGE_INTEGER position{};
  EXPECT_EQ(stream->Seek(Move(0), STREAM_SEEK_CUR, &position), S_OK);
  return position.QuadPart;
}

ULONGLONG StatSize(IStream* stream) {
  STATSTG stat{};
  EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
  return stat.cbSize.QuadPart;
}

std::string ReadAll(IStream* stream) {
  std::string text(64, '\0');
  std::string all;
  ULONG got = 0;
  do {
    EXPECT_EQ(stream->Read(text.data(), static_cast<ULONG>(text.size()), &got), S_OK);
    all.append(text.data(), got);
  } while (got != 0);
  return all;
}

class HGlobalStream : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream_), S_OK); }
  void TearDown() override {
    if (stream_ != nullptr) stream_->Release();
  }
  void Write(const std::string& text) {
    ULONG written = 0;
    ASSERT_EQ(stream_->Write(text.data(), static_cast<ULONG>(text.size()), &written), S_OK);
    ASSERT_EQ(written, text.size());
  }

  IStream* stream_ = nullptr;
};

TEST_F(HGlobalStream, GrowsOnWriteAndReadsBackFromTheStart) {
  EXPECT_EQ(StatSize(stream_), 0u);
  std::string text;
  for (int i = 0; text.size() < 200000; ++i) text += "<line n='" + std::to_string(i) + "'/>\n";
  for (size_t at = 0; at < text.size(); at += 1000) Write(text.substr(at, 1000));
  EXPECT_EQ(StatSize(stream_), text.size());

  ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream_), text);
  EXPECT_EQ(Position(stream_), text.size());
}

TEST_F(HGlobalStream, SeeksFromEveryOriginButNotBeforeTheStart) {
  Write("0123456789");
  ULARGE_INTEGER position{};
  EXPECT_EQ(stream_->Seek(Move(-3), STREAM_SEEK_END, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 7u);
  EXPECT_EQ(stream_->Seek(Move(-2), STREAM_SEEK_CUR, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 5u);
  EXPECT_EQ(stream_->Seek(Move(2), STREAM_SEEK_SET, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 2u);

  EXPECT_EQ(stream_->Seek(Move(-3), STREAM_SEEK_CUR, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(position.QuadPart, 2u);  // unchanged
  EXPECT_EQ(stream_->Seek(Move(0), 3, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Seek(Move(0x100000000LL), STREAM_SEEK_SET, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(Position(stream_), 2u);
}

TEST_F(HGlobalStream, BeyondTheEndReadsNothingAndAWriteFillsTheGapWithZeros) {
  Write("abc");
  ASSERT_EQ(stream_->Seek(Move(5), STREAM_SEEK_END, nullptr), S_OK);
  char buffer[4] = {'x', 'x', 'x', 'x'};
  ULONG got = 99;
  EXPECT_EQ(stream_->Read(buffer, sizeof buffer, &got), S_OK);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(StatSize(stream_), 3u);

  Write("Z");
  EXPECT_EQ(StatSize(stream_), 9u);
  ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream_), std::string("abc\0\0\0\0\0Z", 9));
}

TEST_F(HGlobalStream, SetSizeCutsAndExtends) {
  Write("abcdef");
  ASSERT_EQ(stream_->SetSize(Size(2)), S_OK);
  ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream_), "ab");
  ASSERT_EQ(stream_->SetSize(Size(4)), S_OK);
  ASSERT_EQ(stream_->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream_), std::string("ab\0\0", 4));
  EXPECT_EQ(stream_->SetSize(Size(0x100000000ULL)), STG_E_MEDIUMFULL);
}

TEST_F(HGlobalStream, ClonesShareTheBlockButNotThePosition) {
  Write("hello");
  IStream* clone = nullptr;
  ASSERT_EQ(stream_->Clone(&clone), S_OK);
  EXPECT_EQ(Position(clone), 5u);
  ASSERT_EQ(clone->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(Position(stream_), 5u);

  Write(" world");  // through the original, seen by the clone
  EXPECT_EQ(ReadAll(clone), "hello world");

  HGLOBAL original = nullptr;
  HGLOBAL cloned = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(stream_, &original), S_OK);
  EXPECT_EQ(GetHGlobalFromStream(clone, &cloned), S_OK);
  EXPECT_EQ(original, cloned);

  // The block lives until the last stream on it goes.
  stream_->Release();
  stream_ = nullptr;
  EXPECT_GE(GlobalSize(original), 11u);
  clone->Release();
  EXPECT_EQ(GlobalSize(original), 0u);  // freed: no longer a block
}

TEST(HGlobalStreamOnABlock, StartsWithTheBlockAndLeavesItToTheCaller) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 5);
  ASSERT_NE(block, nullptr);
  std::memcpy(GlobalLock(block), "<a/>\n", 5);
  GlobalUnlock(block);

  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, FALSE, &stream), S_OK);
  EXPECT_EQ(ReadAll(stream), "<a/>\n");
  ULONG written = 0;
  ASSERT_EQ(stream->Write("<b/>", 4, &written), S_OK);
  HGLOBAL grown = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(stream, &grown), S_OK);
  stream->Release();

  ASSERT_GE(GlobalSize(grown), 9u);  // not freed
  EXPECT_EQ(std::memcmp(GlobalLock(grown), "<a/>\n<b/>", 9), 0);
  GlobalUnlock(grown);
  EXPECT_EQ(GlobalFree(grown), nullptr);
}

TEST_F(HGlobalStream, CopyToTakesFromThePositionAndMovesBoth) {
  Write("0123456789");
  ASSERT_EQ(stream_->Seek(Move(4), STREAM_SEEK_SET, nullptr), S_OK);
  IStream* target = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &target), S_OK);

  ULARGE_INTEGER read{};
  ULARGE_INTEGER written{};
  ASSERT_EQ(stream_->CopyTo(target, Size(3), &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 3u);
  EXPECT_EQ(written.QuadPart, 3u);
  EXPECT_EQ(Position(stream_), 7u);
  EXPECT_EQ(Position(target), 3u);

  ASSERT_EQ(stream_->CopyTo(target, Size(1000), &read, &written), S_OK);  // more than is left
  EXPECT_EQ(read.QuadPart, 3u);
  ASSERT_EQ(target->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(target), "456789");
  target->Release();
  EXPECT_EQ(stream_->CopyTo(nullptr, Size(1), nullptr, nullptr), STG_E_INVALIDPOINTER);
}

TEST_F(HGlobalStream, RefusesWhatItCannotDo) {
  EXPECT_EQ(stream_->LockRegion(Size(0), Size(1), 0), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->UnlockRegion(Size(0), Size(1), 0), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Commit(STGC_DEFAULT), S_OK);
  EXPECT_EQ(stream_->Revert(), S_OK);
  EXPECT_EQ(stream_->Read(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream_->Write(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream_->Stat(nullptr, STATFLAG_DEFAULT), STG_E_INVALIDPOINTER);

  STATSTG stat{};
  ASSERT_EQ(stream_->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.pwcsName, nullptr);  // a memory stream has no name

  void* other = nullptr;
  EXPECT_EQ(stream_->QueryInterface(IID_ISequentialStream, &other), S_OK);
  static_cast<IUnknown*>(other)->Release();
  EXPECT_EQ(stream_->QueryInterface(IID_IPersistStream, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
  HGLOBAL block = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(nullptr, &block), E_INVALIDARG);
  EXPECT_EQ(GetHGlobalFromStream(stream_, nullptr), E_INVALIDARG);
}

}  // namespace
