// Behaviour every stream kind shares: run once per kind.

#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/file_stream.h>
#include <pixavue/platform/ole/hglobal_stream.h>
#include <pixavue/platform/ole/memory_stream.h>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <ostream>

#include "stream_test_support.h"
#include "temp_directory.h"

namespace pixavue::platform {
namespace {

using testing::ReadText;
using testing::SeekTo;
using testing::SizeOf;
using testing::WriteText;

struct StreamKind {
  const char* name;
  std::function<HRESULT(const testing::TempDirectory&, IStream**)> create;
};

void PrintTo(const StreamKind& kind, std::ostream* out) { *out << kind.name; }

const StreamKind kKinds[] = {
    {"HGlobal", [](const testing::TempDirectory&, IStream** s) { return CreateStreamOnHGlobal(kNullHglobal, true, s); }},
    {"Memory", [](const testing::TempDirectory&, IStream** s) { return CreateMemoryStream({}, s); }},
    {"File",
     [](const testing::TempDirectory& dir, IStream** s) {
       return CreateStreamOnFile(dir / "stream.bin", FileStreamMode::CreateAlways, s);
     }},
};

class StreamContract : public ::testing::TestWithParam<StreamKind> {
 protected:
  void SetUp() override { ASSERT_EQ(GetParam().create(directory_, stream_.ReleaseAndGetAddressOf()), S_OK); }

  testing::TempDirectory directory_;
  ComPtr<IStream> stream_;
};

TEST_P(StreamContract, WrittenBytesReadBack) {
  WriteText(*stream_, "hello, stream");
  EXPECT_EQ(SizeOf(*stream_), 13u);
  EXPECT_EQ(SeekTo(*stream_, 0, STREAM_SEEK_SET), 0u);
  EXPECT_EQ(ReadText(*stream_, 13), "hello, stream");
  EXPECT_EQ(SeekTo(*stream_, 7, STREAM_SEEK_SET), 7u);
  WriteText(*stream_, "STREAM");
  SeekTo(*stream_, 0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadText(*stream_, 100), "hello, STREAM");
}

TEST_P(StreamContract, ReadingAtTheEndIsShortButSucceeds) {
  WriteText(*stream_, "0123456789");
  SeekTo(*stream_, 6, STREAM_SEEK_SET);
  EXPECT_EQ(ReadText(*stream_, 10), "6789");
  EXPECT_EQ(ReadText(*stream_, 10), "");
  SeekTo(*stream_, 50, STREAM_SEEK_SET);
  EXPECT_EQ(ReadText(*stream_, 10), "");
  EXPECT_EQ(SizeOf(*stream_), 10u) << "reading must not grow the stream";
}

TEST_P(StreamContract, SeekFollowsEachOriginAndRefusesNegativePositions) {
  WriteText(*stream_, "0123456789");
  EXPECT_EQ(SeekTo(*stream_, 4, STREAM_SEEK_SET), 4u);
  EXPECT_EQ(SeekTo(*stream_, 3, STREAM_SEEK_CUR), 7u);
  EXPECT_EQ(SeekTo(*stream_, -2, STREAM_SEEK_CUR), 5u);
  EXPECT_EQ(SeekTo(*stream_, -10, STREAM_SEEK_END), 0u);
  EXPECT_EQ(SeekTo(*stream_, 5, STREAM_SEEK_END), 15u);

  std::uint64_t position = 99;
  EXPECT_EQ(stream_->Seek(-16, STREAM_SEEK_CUR, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Seek(-11, STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Seek(-1, STREAM_SEEK_SET, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Seek(std::numeric_limits<std::int64_t>::min(), STREAM_SEEK_CUR, &position),
            STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Seek(std::numeric_limits<std::int64_t>::max(), STREAM_SEEK_END, &position),
            STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream_->Seek(0, 3, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(position, 99u) << "a refused seek reports nothing";
  EXPECT_EQ(SeekTo(*stream_, 0, STREAM_SEEK_CUR), 15u) << "and keeps the position";
}

TEST_P(StreamContract, WritingPastTheEndFillsTheGapWithZeros) {
  WriteText(*stream_, "abc");
  SeekTo(*stream_, 100, STREAM_SEEK_SET);
  WriteText(*stream_, "z");
  EXPECT_EQ(SizeOf(*stream_), 101u);
  SeekTo(*stream_, 0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadText(*stream_, 200), "abc" + std::string(97, '\0') + "z");
}

TEST_P(StreamContract, EmptyWriteChangesNothing) {
  WriteText(*stream_, "abc");
  SeekTo(*stream_, 50, STREAM_SEEK_SET);
  ULONG written = 7;
  EXPECT_EQ(stream_->Write("x", 0, &written), S_OK);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(SizeOf(*stream_), 3u);
}

TEST_P(StreamContract, SetSizeTruncatesAndZeroExtendsWithoutMovingThePosition) {
  WriteText(*stream_, "0123456789");
  ASSERT_EQ(stream_->SetSize(4), S_OK);
  EXPECT_EQ(SeekTo(*stream_, 0, STREAM_SEEK_CUR), 10u);
  EXPECT_EQ(SizeOf(*stream_), 4u);
  ASSERT_EQ(stream_->SetSize(8), S_OK);
  SeekTo(*stream_, 0, STREAM_SEEK_SET);
  EXPECT_EQ(ReadText(*stream_, 20), std::string("0123") + std::string(4, '\0'));
}

TEST_P(StreamContract, BadArgumentsAreRefused) {
  ULONG count = 5;
  EXPECT_EQ(stream_->Read(nullptr, 4, &count), STG_E_INVALIDPOINTER);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(stream_->Write(nullptr, 4, &count), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream_->Stat(nullptr, STATFLAG_DEFAULT), STG_E_INVALIDPOINTER);
  STATSTG stat;
  EXPECT_EQ(stream_->Stat(&stat, 0x10), STG_E_INVALIDFLAG);
  EXPECT_EQ(stream_->Clone(nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream_->SetSize(std::uint64_t{1} << 63), STG_E_MEDIUMFULL);
}

TEST_P(StreamContract, StatDescribesAStream) {
  WriteText(*stream_, "12345");
  STATSTG stat;
  ASSERT_EQ(stream_->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(stat.cbSize, 5u);
  EXPECT_EQ(stat.grfMode, STGM_READWRITE);
  ASSERT_EQ(stream_->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.name, "");
  EXPECT_EQ(stream_->Commit(STGC_DEFAULT), S_OK);
}

TEST_P(StreamContract, CloneSharesTheBytesButNotThePosition) {
  WriteText(*stream_, "abcdef");
  SeekTo(*stream_, 2, STREAM_SEEK_SET);
  ComPtr<IStream> clone;
  ASSERT_EQ(stream_->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(ReadText(*clone, 2), "cd");
  EXPECT_EQ(ReadText(*stream_, 1), "c");
  SeekTo(*clone, 0, STREAM_SEEK_END);
  WriteText(*clone, "gh");
  EXPECT_EQ(ReadText(*stream_, 10), "defgh");
}

// A component that keeps the stream it is handed, as a loader does.
class StreamKeeper final {
 public:
  void Keep(IStream* stream) { kept_ = ComPtr<IStream>(stream); }
  std::string ReadAll() {
    SeekTo(*kept_, 0, STREAM_SEEK_SET);
    return ReadText(*kept_, 1000);
  }

 private:
  ComPtr<IStream> kept_;
};

TEST_P(StreamContract, StreamOutlivesItsCreatorsReference) {
  WriteText(*stream_, "still here");
  StreamKeeper keeper;
  keeper.Keep(stream_.Get());
  stream_.Reset();  // the creator lets go right after handing the stream on
  EXPECT_EQ(keeper.ReadAll(), "still here");
}

INSTANTIATE_TEST_SUITE_P(AllKinds, StreamContract, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<StreamKind>& kind) { return kind.param.name; });

}  // namespace
}  // namespace pixavue::platform
