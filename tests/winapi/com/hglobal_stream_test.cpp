// Streams on global memory, as the system uses them: a whole file written
// in, the stream sought back to the start and read by a parser.
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <objbase.h>
#include <winbase.h>

namespace {

LARGE_INTEGER Move(LONGLONG by) { return LARGE_INTEGER{.QuadPart = by}; }
ULARGE_INTEGER Size(ULONGLONG size) { return ULARGE_INTEGER{.QuadPart = size}; }

std::string ReadAll(IStream* stream) {
  char buffer[64];
  std::string all;
  ULONG got = 0;
  do {
    EXPECT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
    all.append(buffer, got);
  } while (got != 0);
  return all;
}

class HGlobalStream : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream_), S_OK); }
  void TearDown() override { stream_->Release(); }
  void Write(const std::string& text) { ASSERT_EQ(stream_->Write(text.data(), ULONG(text.size()), nullptr), S_OK); }
  ULONGLONG Seek(LONGLONG by, DWORD origin, HRESULT expected = S_OK) {
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream_->Seek(Move(by), origin, &position), expected);
    return position.QuadPart;
  }
  ULONGLONG StatSize() {
    STATSTG stat{};
    EXPECT_EQ(stream_->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    return stat.cbSize.QuadPart;
  }

  IStream* stream_ = nullptr;
};

TEST_F(HGlobalStream, GrowsOnWriteAndReadsBackFromTheStart) {
  std::string text;
  for (int i = 0; text.size() < 200000; ++i) text += "<line n='" + std::to_string(i) + "'/>\n";
  for (size_t at = 0; at < text.size(); at += 1000) Write(text.substr(at, 1000));
  EXPECT_EQ(StatSize(), text.size());
  Seek(0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(stream_), text);
}

TEST_F(HGlobalStream, SeeksFromEveryOriginButNotBeforeTheStart) {
  Write("0123456789");
  EXPECT_EQ(Seek(-3, STREAM_SEEK_END), 7u);
  EXPECT_EQ(Seek(-2, STREAM_SEEK_CUR), 5u);
  EXPECT_EQ(Seek(-6, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION), 5u);  // unchanged
  EXPECT_EQ(Seek(0, 3, STG_E_INVALIDFUNCTION), 5u);

  // Beyond the end reads nothing; a write there fills the gap with zeros.
  EXPECT_EQ(Seek(2, STREAM_SEEK_END), 12u);
  EXPECT_EQ(ReadAll(stream_), "");
  Write("Z");
  EXPECT_EQ(StatSize(), 13u);
  Seek(8, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(stream_), std::string("89\0\0Z", 5));

  ASSERT_EQ(stream_->SetSize(Size(2)), S_OK);
  Seek(0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(stream_), "01");
  // The block still holds what was cut off; none of it comes back.
  Seek(5, STREAM_SEEK_SET);
  Write("Y");
  ASSERT_EQ(stream_->SetSize(Size(8)), S_OK);
  Seek(0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadAll(stream_), std::string("01\0\0\0Y\0\0", 8));
  ASSERT_EQ(stream_->SetSize(Size(2)), S_OK);
  EXPECT_EQ(stream_->SetSize(Size(0x100000000ULL)), STG_E_MEDIUMFULL);
}

TEST_F(HGlobalStream, ClonesShareTheBlockButNotThePosition) {
  Write("hello");
  IStream* clone = nullptr;
  ASSERT_EQ(stream_->Clone(&clone), S_OK);
  ASSERT_EQ(clone->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  Write(" world");  // through the original, seen by the clone
  EXPECT_EQ(ReadAll(clone), "hello world");

  // CopyTo reads from the source's position and moves it.
  IStream* copy = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &copy), S_OK);
  ASSERT_EQ(clone->Seek(Move(6), STREAM_SEEK_SET, nullptr), S_OK);
  ULARGE_INTEGER read{};
  ASSERT_EQ(clone->CopyTo(copy, Size(1000), &read, nullptr), S_OK);
  EXPECT_EQ(read.QuadPart, 5u);
  ASSERT_EQ(copy->Seek(Move(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(copy), "world");
  copy->Release();
  clone->Release();
}

TEST(HGlobalStreamBlocks, AreFreedWithTheLastStreamOnlyWhenAskedTo) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 5);
  std::memcpy(GlobalLock(block), "<a/>\n", 5);
  GlobalUnlock(block);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, FALSE, &stream), S_OK);
  EXPECT_EQ(ReadAll(stream), "<a/>\n");  // starts with the block's contents
  ASSERT_EQ(stream->Write("<b/>", 4, nullptr), S_OK);
  ASSERT_EQ(GetHGlobalFromStream(stream, &block), S_OK);
  stream->Release();
  EXPECT_EQ(std::memcmp(GlobalLock(block), "<a/>\n<b/>", 9), 0);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);

  IStream* clone = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ASSERT_EQ(stream->Clone(&clone), S_OK);
  ASSERT_EQ(GetHGlobalFromStream(clone, &block), S_OK);
  stream->Release();
  EXPECT_NE(GlobalLock(block), nullptr);  // the clone still holds it
  GlobalUnlock(block);
  clone->Release();
  EXPECT_EQ(GlobalSize(block), 0u);
}

TEST_F(HGlobalStream, RefusesWhatItCannotDo) {
  EXPECT_EQ(stream_->LockRegion(Size(0), Size(1), 0), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Read(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream_->CopyTo(nullptr, Size(1), nullptr, nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
  EXPECT_EQ(GetHGlobalFromStream(nullptr, nullptr), E_INVALIDARG);
}

}  // namespace
