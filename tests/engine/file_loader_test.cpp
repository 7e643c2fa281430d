// The file chain: statuses of files nobody reads, the open-file dialog,
// path normalisation, the picture step and temporary files tied to images.

#include <optional>

#include <gtest/gtest.h>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/shell/shell_host.h>

#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "metafile_test_files.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

// Answers the open-file dialog with `answer` (nothing: cancelled).
class FakeShell final : public ShellHost {
 public:
  int ShowMessageBox(const MessageBoxRequest&) override { return 0; }
  std::optional<std::string> ShowOpenFileDialog(const OpenFileRequest& request) override {
    requests.push_back(request);
    return answer;
  }
  std::optional<std::string> answer;
  std::vector<OpenFileRequest> requests;
};

FileLoadOptions WithDialog(HWND owner) { return FileLoadOptions{false, true, true, owner, true}; }

class FileLoaderTest : public EngineTest {
 protected:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    platform::test::WriteFile(temp_dir() / name, bytes);
    return (temp_dir() / name).string();
  }
  // The file opened for the chain's steps.
  static OpenedFile Opened(const std::string& path) {
    OpenedFile file;
    EXPECT_EQ(OpenForLoading(path, file), QuorvexStatus::OK) << path;
    return file;
  }
  // A 5 x 3 PNG file.
  std::string WritePng(const std::string& name) {
    platform::test::ImageGuard image(platform::test::MakeBitmap(5, 3, PixelFormat24bppRGB, PatternPixels(5, 3)));
    EXPECT_EQ(platform::test::SaveImage(image.get(), temp_dir() / name, CLSID_PngCodec), Ok);
    return (temp_dir() / name).string();
  }
};

TEST_F(FileLoaderTest, FilesNobodyReadsLeaveNothingBehind) {
  const std::string png = WritePng("whole.png");
  auto bytes = platform::test::ReadFile(png);
  bytes.resize(bytes.size() / 2);
  const std::string truncated = Write("half.png", bytes);
  const std::string garbage = Write("garbage.bin", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  const std::size_t files = FilesInTempDir();
  const std::pair<std::string, QuorvexStatus> cases[] = {
      {"", QuorvexStatus::FileNotFound},  // no shell host: the dialog counts as cancelled
      {"   ", QuorvexStatus::FileNotFound},
      {(temp_dir() / "missing.png").string(), QuorvexStatus::FileNotFound},
      {temp_dir().string(), QuorvexStatus::FileNotFound},
      // Neither the library nor the picture loader reads these: the absent
      // plug-in's status.
      {garbage, QuorvexStatus::Aborted},
      {truncated, QuorvexStatus::Aborted},
  };
  for (const auto& [path, status] : cases) {
    ImageId id = 12345;
    EXPECT_EQ(LoadFromFile(path, WithDialog(kNoWindow), id), status) << path;
    EXPECT_EQ(id, kNoImage) << path;
  }
  ImageId id = 12345;
  EXPECT_EQ(LoadWithPlugin(png, false, true, true, id), QuorvexStatus::Aborted);
  EXPECT_EQ(LoadWithGdiplus(Opened(garbage), false, true, true, id), QuorvexStatus::UnknownImageFormat);
  EXPECT_EQ(LoadWithGdiplus(Opened(truncated), true, true, true, id), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(LoadViaPicture(Opened(garbage), id), QuorvexStatus::UnknownImageFormat);
  EXPECT_EQ(LoadWithGdiplus(OpenedFile{}, false, true, true, id), QuorvexStatus::FileNotFound);
  EXPECT_EQ(LoadViaPicture(OpenedFile{}, id), QuorvexStatus::UnknownImageFormat);
  EXPECT_EQ(id, kNoImage);
  EXPECT_TRUE(Images().Slots.empty());
  EXPECT_EQ(FilesInTempDir(), files);
}

TEST_F(FileLoaderTest, AnEmptyPathAsksForAFileWhenAllowed) {
  FakeShell shell;
  ShellHostGuard guard(shell);
  const HWND owner{77};
  shell.answer = WritePng("chosen.png");
  ImageId id = kNoImage;
  ASSERT_EQ(LoadFromFile("  ", WithDialog(owner), id), QuorvexStatus::OK);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].title, "Open File");
  EXPECT_EQ(shell.requests[0].owner, owner);
  EXPECT_EQ(shell.requests[0].maxFileNameLength, 256u);
  EXPECT_EQ(GetFormatName(id), "PNG");
  EXPECT_EQ(SlotOf(id)->Kind, SourceKind::GdiplusFile);
  ReleaseImage(id);

  EXPECT_EQ(LoadFromFile("", FileLoadOptions{}, id), QuorvexStatus::FileNotFound);  // not allowed
  EXPECT_EQ(shell.requests.size(), 1u);
  shell.answer.reset();
  EXPECT_EQ(LoadFromFile("", WithDialog(owner), id), QuorvexStatus::FileNotFound);  // cancelled
  EXPECT_EQ(shell.requests.size(), 2u);
}

TEST_F(FileLoaderTest, PathsAreNormalisedAndLoad) {
  const std::pair<const char*, const char*> cases[] = {
      {"  C:\\images\\a.png  ", "C:/images/a.png"}, {"/data//pictures///a.png", "/data/pictures/a.png"},
      {"\\\\server\\share\\\\a", "//server/share/a"}, {"///srv/a", "//srv/a"}, {"/////srv//a", "//srv/a"},
      {"a//b", "a//b"}, {"///", "///"}, {"\\\\\\", "///"}, {"////", "//"}, {"a", "a"}, {"   ", ""},
  };
  for (const auto& [given, expected] : cases) EXPECT_EQ(NormalisePath(given), expected) << given;

  std::string written;
  for (const char c : WritePng("sep.png")) written += c == '/' ? std::string("\\\\") : std::string(1, c);
  ImageId id = kNoImage;
  ASSERT_EQ(LoadFromFile(" " + written + " ", FileLoadOptions{}, id), QuorvexStatus::OK);
  std::int32_t width = 0;
  GetImageWidth(id, width);
  EXPECT_EQ(width, 5);
  ReleaseImage(id);
}

// The library's file decoder refuses metafiles as bitmaps; the picture
// loader reads them.
TEST_F(FileLoaderTest, AMetafileLoadsThroughThePictureStep) {
  using namespace platform::test;
  const std::string wmf = Write("drawing.wmf", Placeable(0, 0, 1440, 720, 1440, Wmf(kEndRecord)));
  ImageId id = kNoImage;
  EXPECT_EQ(LoadWithGdiplus(Opened(wmf), false, true, true, id), QuorvexStatus::InvalidParameter);
  ASSERT_EQ(LoadFromFile(wmf, FileLoadOptions{}, id), QuorvexStatus::OK);
  std::int32_t width = 0;
  std::int32_t height = 0;
  GetImageWidth(id, width);
  GetImageHeight(id, height);
  EXPECT_GT(height, 0);
  EXPECT_EQ(width, 2 * height);
  EXPECT_EQ(GetFormatName(id), "WMF");
  ReleaseImage(id);
}

TEST_F(FileLoaderTest, AnAttachedTempFileGoesWithItsImage) {
  const std::string file = MakeTempFileName();
  AttachTempFile(kNoImage, file);  // no slot: nothing happens
  const ImageId image = MakeImage(2, 2);
  AttachTempFile(image, file);
  EXPECT_FALSE(FileExists(file).empty());
  ReleaseImage(image);
  EXPECT_TRUE(FileExists(file).empty());
}

}  // namespace
}  // namespace pixavue::engine::test
