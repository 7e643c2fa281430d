#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/file_stream.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "stream_test_support.h"
#include "temp_directory.h"

namespace pixavue::platform {
namespace {

using testing::ReadText;
using testing::ReadTextFile;
using testing::WriteText;
using testing::WriteTextFile;

class FileStream : public ::testing::Test {
 protected:
  HRESULT Open(const std::filesystem::path& path, FileStreamMode mode) {
    return CreateStreamOnFile(path, mode, stream_.ReleaseAndGetAddressOf());
  }

  testing::TempDirectory directory_;
  ComPtr<IStream> stream_;
};

TEST_F(FileStream, WrittenBytesReachTheFile) {
  const auto path = directory_ / "out.bin";
  ASSERT_EQ(Open(path, FileStreamMode::CreateNew), S_OK);
  WriteText(*stream_, "persisted");
  STATSTG stat;
  ASSERT_EQ(stream_->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.name, path.string());
  stream_.Reset();
  EXPECT_EQ(ReadTextFile(path), "persisted");

  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(FileStream, MissingFilesAndFoldersAreReported) {
  EXPECT_EQ(Open(directory_ / "missing", FileStreamMode::Read), STG_E_FILENOTFOUND);
  EXPECT_EQ(Open(directory_ / "missing", FileStreamMode::ReadWrite), STG_E_FILENOTFOUND);
  EXPECT_EQ(Open(directory_ / "no-folder" / "file", FileStreamMode::CreateAlways), STG_E_FILENOTFOUND);
  EXPECT_FALSE(stream_);
  EXPECT_FALSE(std::filesystem::exists(directory_ / "missing"));
}

TEST_F(FileStream, CreateNewLeavesAnExistingFileUntouched) {
  const auto path = directory_ / "precious.txt";
  WriteTextFile(path, "user data");
  EXPECT_EQ(Open(path, FileStreamMode::CreateNew), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(ReadTextFile(path), "user data");

  const auto link = directory_ / "link";
  std::filesystem::create_symlink(directory_ / "link-target", link);
  EXPECT_EQ(Open(link, FileStreamMode::CreateNew), STG_E_FILEALREADYEXISTS);
  EXPECT_FALSE(std::filesystem::exists(directory_ / "link-target")) << "the link must not be followed";
}

TEST_F(FileStream, CreateAlwaysTruncatesAndReadWriteKeeps) {
  const auto path = directory_ / "file.txt";
  WriteTextFile(path, "old content");
  ASSERT_EQ(Open(path, FileStreamMode::ReadWrite), S_OK);
  WriteText(*stream_, "NEW");
  stream_.Reset();
  EXPECT_EQ(ReadTextFile(path), "NEW content");

  ASSERT_EQ(Open(path, FileStreamMode::CreateAlways), S_OK);
  EXPECT_EQ(testing::SizeOf(*stream_), 0u);
}

TEST_F(FileStream, ReadOnlyStreamRefusesChanges) {
  const auto path = directory_ / "readonly.txt";
  WriteTextFile(path, "fixed");
  ASSERT_EQ(Open(path, FileStreamMode::Read), S_OK);
  ULONG written = 3;
  EXPECT_EQ(stream_->Write("xx", 2, &written), STG_E_ACCESSDENIED);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(stream_->SetSize(0), STG_E_ACCESSDENIED);
  STATSTG stat;
  ASSERT_EQ(stream_->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.grfMode, STGM_READ);
  EXPECT_EQ(ReadText(*stream_, 10), "fixed");
  EXPECT_EQ(ReadTextFile(path), "fixed");
}

TEST_F(FileStream, OnlyRegularFilesOpenAndAPipeDoesNotBlock) {
  EXPECT_EQ(Open(directory_.Path(), FileStreamMode::Read), STG_E_ACCESSDENIED);
  EXPECT_EQ(Open(directory_.Path(), FileStreamMode::CreateAlways), STG_E_ACCESSDENIED);

  const auto pipe = directory_ / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  auto opened = std::async(std::launch::async, [&] { return Open(pipe, FileStreamMode::Read); });
  if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    // Release the waiting open so that the test fails instead of hanging.
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    opened.wait();
    if (writer >= 0) ::close(writer);
    FAIL() << "opening a pipe waited for a writer";
  }
  EXPECT_EQ(opened.get(), STG_E_ACCESSDENIED);
}

TEST_F(FileStream, PathWithANullCharacterIsRefused) {
  const std::string withNull = (directory_ / "a").string() + std::string(1, '\0') + "b";
  EXPECT_EQ(Open(withNull, FileStreamMode::CreateAlways), STG_E_INVALIDPARAMETER);
  EXPECT_FALSE(std::filesystem::exists(directory_ / "a"));
  EXPECT_EQ(CreateStreamOnFile(directory_ / "x", FileStreamMode::CreateAlways, nullptr), E_POINTER);
}

}  // namespace
}  // namespace pixavue::platform
