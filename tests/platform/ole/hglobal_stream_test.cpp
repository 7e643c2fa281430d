#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/hglobal_stream.h>
#include <pixavue/platform/ole/memory_stream.h>

#include <gtest/gtest.h>

#include <cstring>

#include "stream_test_support.h"

namespace pixavue::platform {
namespace {

using testing::ReadText;
using testing::SeekTo;
using testing::WriteText;

bool IsLive(HGLOBAL block) {
  if (GlobalLock(block) == nullptr) return false;
  GlobalUnlock(block);
  return true;
}

std::string BlockText(HGLOBAL block) {
  const auto* bytes = static_cast<const char*>(GlobalLock(block));
  std::string text(bytes, GlobalSize(block));
  GlobalUnlock(block);
  return text;
}

TEST(HGlobalStream, ExistingBlockIsTheStreamAndGrowsWithIt) {
  const HGLOBAL block = GlobalAlloc(GHND, 5);
  std::memcpy(GlobalLock(block), "hello", 5);
  GlobalUnlock(block);
  {
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(block, false, stream.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(ReadText(*stream, 10), "hello");
    WriteText(*stream, ", world");
    HGLOBAL underlying = kNullHglobal;
    ASSERT_EQ(GetHGlobalFromStream(stream.Get(), &underlying), S_OK);
    EXPECT_EQ(underlying, block);
  }
  ASSERT_TRUE(IsLive(block)) << "without deleteOnRelease the caller keeps the block";
  EXPECT_EQ(BlockText(block), "hello, world");
  EXPECT_EQ(GlobalFree(block), kNullHglobal);
}

TEST(HGlobalStream, DeleteOnReleaseFreesTheBlockWithTheLastStream) {
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(kNullHglobal, true, stream.ReleaseAndGetAddressOf()), S_OK);
  WriteText(*stream, "data");
  HGLOBAL block = kNullHglobal;
  ASSERT_EQ(GetHGlobalFromStream(stream.Get(), &block), S_OK);
  ComPtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.ReleaseAndGetAddressOf()), S_OK);

  stream.Reset();
  EXPECT_TRUE(IsLive(block)) << "the clone still uses the block";
  clone.Reset();
  EXPECT_FALSE(IsLive(block));
}

TEST(HGlobalStream, RefusesHandlesThatAreNotBlocks) {
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(HGLOBAL{0xDEAD}, true, stream.ReleaseAndGetAddressOf()), E_INVALIDARG);
  EXPECT_FALSE(stream);
  EXPECT_EQ(CreateStreamOnHGlobal(kNullHglobal, true, nullptr), E_POINTER);

  ASSERT_EQ(CreateMemoryStream({}, stream.ReleaseAndGetAddressOf()), S_OK);
  HGLOBAL block = kNullHglobal;
  EXPECT_EQ(GetHGlobalFromStream(stream.Get(), &block), E_INVALIDARG);
  EXPECT_EQ(GetHGlobalFromStream(nullptr, &block), E_INVALIDARG);
}

TEST(HGlobalStream, BlockFreedBehindTheStreamGivesErrorsNotCrashes) {
  const HGLOBAL block = GlobalAlloc(GHND, 8);
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(block, true, stream.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(GlobalFree(block), kNullHglobal);

  char buffer[4];
  ULONG count = 0;
  EXPECT_EQ(stream->Read(buffer, 4, &count), STG_E_INVALIDHANDLE);
  EXPECT_EQ(stream->Write("ab", 2, &count), STG_E_INVALIDHANDLE);
  EXPECT_EQ(stream->Seek(0, STREAM_SEEK_END, nullptr), STG_E_INVALIDHANDLE);
  // Releasing the stream frees nothing twice (ASan would report it).
}

TEST(HGlobalStream, GrowthBeyondTheBlockLimitIsRefused) {
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(kNullHglobal, true, stream.ReleaseAndGetAddressOf()), S_OK);
  SeekTo(*stream, static_cast<std::int64_t>(kGlobalMemoryMaxBytes), STREAM_SEEK_SET);
  ULONG written = 9;
  EXPECT_EQ(stream->Write("x", 1, &written), STG_E_MEDIUMFULL);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(stream->SetSize(kGlobalMemoryMaxBytes + 1), STG_E_MEDIUMFULL);
  EXPECT_EQ(testing::SizeOf(*stream), 0u);
}

TEST(MemoryStream, StartsWithTheGivenBytesAndHandsThemBack) {
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateMemoryStream({'a', 'b', 'c'}, stream.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(ReadText(*stream, 10), "abc");
  WriteText(*stream, "d");
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(GetBytesFromMemoryStream(stream.Get(), bytes), S_OK);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b', 'c', 'd'}));

  ComPtr<IStream> other;
  ASSERT_EQ(CreateStreamOnHGlobal(kNullHglobal, true, other.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(GetBytesFromMemoryStream(other.Get(), bytes), E_INVALIDARG);
  EXPECT_EQ(CreateMemoryStream({}, nullptr), E_POINTER);
}

}  // namespace
}  // namespace pixavue::platform
