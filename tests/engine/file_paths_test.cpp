// Paths name exactly one file: the name as given when it exists, byte names
// that are not UTF-8, names that are no regular file, and one read of the
// file for the whole chain.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include <gtest/gtest.h>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "metafile_test_files.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

class FilePathsTest : public EngineTest {
 protected:
  // temp_dir()/name with name taken as bytes.
  std::string PathOf(const std::string& name) const { return temp_dir().native() + "/" + name; }

  // A PNG of the given width and one row, under the byte name.
  std::string WritePng(const std::string& name, std::uint32_t width) {
    platform::test::ImageGuard image(platform::test::MakeBitmap(width, 1, PixelFormat24bppRGB, PatternPixels(width, 1)));
    const std::string plain = PathOf("plain-for-rename.png");
    EXPECT_EQ(platform::test::SaveImage(image.get(), plain, CLSID_PngCodec), Ok);
    const std::string path = PathOf(name);
    EXPECT_EQ(::rename(plain.c_str(), path.c_str()), 0) << name;
    return path;
  }

  // The width of the image a load gives, 0 when it failed.
  static std::int32_t LoadedWidth(const std::string& path) {
    ImageId id = kNoImage;
    if (LoadFromFile(path, FileLoadOptions{}, id) != QuorvexStatus::OK) return 0;
    std::int32_t width = 0;
    GetImageWidth(id, width);
    ReleaseImage(id);
    return width;
  }
};

TEST_F(FilePathsTest, ANameThatExistsAsGivenIsTheFileLoaded) {
  const std::string plain = WritePng("x.png", 3);
  const std::string spaced = WritePng(" x.png ", 5);
  std::filesystem::create_directory(temp_dir() / "back");
  const std::string slashed = WritePng("back/slash.png", 7);
  const std::string backslashed = WritePng("back\\slash.png", 9);

  EXPECT_EQ(ResolvePath(spaced), spaced);
  EXPECT_EQ(ResolvePath(backslashed), backslashed);
  EXPECT_EQ(LoadedWidth(spaced), 5);
  EXPECT_EQ(LoadedWidth(backslashed), 9);
  EXPECT_EQ(LoadedWidth(plain), 3);
  EXPECT_EQ(LoadedWidth(slashed), 7);

  // Names nothing exists under are normalised, as written for another
  // platform.
  const std::string missing = PathOf("  x.png");
  EXPECT_EQ(ResolvePath(missing), NormalisePath(missing));
  EXPECT_EQ(LoadedWidth("  " + plain + "  "), 3);
  std::filesystem::remove(backslashed);
  EXPECT_EQ(LoadedWidth(backslashed), 7);
}

TEST_F(FilePathsTest, AMetafileNamedAsGivenIsTheOneDrawn) {
  using namespace platform::test;
  const auto wide = Placeable(0, 0, 1440, 720, 1440, Wmf(kEndRecord));
  const auto square = Placeable(0, 0, 720, 720, 1440, Wmf(kEndRecord));
  platform::test::WriteFile(PathOf("d.wmf"), square);
  platform::test::WriteFile(PathOf(" d.wmf"), wide);
  ImageId id = kNoImage;
  ASSERT_EQ(LoadMetafileScaled(PathOf(" d.wmf"), 1.0f, id), QuorvexStatus::OK);
  std::int32_t width = 0;
  std::int32_t height = 0;
  GetImageWidth(id, width);
  GetImageHeight(id, height);
  EXPECT_EQ(width, 2 * height);
  ReleaseImage(id);
}

TEST_F(FilePathsTest, ByteNamesThatAreNotUtf8LoadThroughTheLibraryAndSave) {
  const std::string latin1 = WritePng("caf\xE9.png", 4);
  ImageId id = kNoImage;
  ASSERT_EQ(LoadFromFile(latin1, FileLoadOptions{}, id), QuorvexStatus::OK);
  EXPECT_EQ(GetFormatName(id), "PNG");
  EXPECT_EQ(SlotOf(id)->Kind, SourceKind::GdiplusFile);

  const std::string saved = PathOf("\xFF\xFE-copy.png");
  ASSERT_EQ(SaveAsPng(id, saved), QuorvexStatus::OK);
  ReleaseImage(id);
  struct stat info {};
  ASSERT_EQ(::stat(saved.c_str(), &info), 0) << "saved under other bytes";
  EXPECT_EQ(LoadedWidth(saved), 4);
}

TEST_F(FilePathsTest, NamesThatAreNoRegularFileGiveFileNotFoundWithoutWaiting) {
  const std::string pipe = PathOf("pipe.png");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string folder = PathOf("folder.png");
  std::filesystem::create_directory(folder);
  // The loads run on another thread while the test waits; a loader that
  // blocked on the pipe is freed by opening its other end. That thread has
  // no engine session of its own: every refusal happens before the imaging
  // library is asked.
  auto loads = std::async(std::launch::async, [&] {
    const std::string targets[] = {pipe, folder, "/dev/null", "/dev/zero"};
    bool allNotFound = true;
    for (const std::string& target : targets) {
      ImageId id = 12345;
      allNotFound = LoadFromFile(target, FileLoadOptions{}, id) == QuorvexStatus::FileNotFound && allNotFound;
      allNotFound = id == kNoImage && allNotFound;
      allNotFound = LoadMetafileScaled(target, 1.0f, id) == QuorvexStatus::FileNotFound && allNotFound;
      OpenedFile opened;
      allNotFound = OpenForLoading(target, opened) == QuorvexStatus::FileNotFound && !opened.contents && allNotFound;
    }
    return allNotFound;
  });
  const bool finished = loads.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  if (!finished) {
    for (int i = 0; i < 3; ++i) {
      const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
    }
  }
  EXPECT_TRUE(finished) << "a load waited on the pipe";
  EXPECT_TRUE(loads.get());
}

TEST_F(FilePathsTest, TheChainReadsTheBytesOpenedNotTheNameAgain) {
  const std::string path = WritePng("first.png", 6);
  OpenedFile opened;
  ASSERT_EQ(OpenForLoading(path, opened), QuorvexStatus::OK);
  EXPECT_EQ(opened.path, path);
  // Another file takes the name, then a pipe does: the steps still read
  // what was opened.
  WritePng("first.png", 2);
  ImageId id = kNoImage;
  ASSERT_EQ(LoadWithGdiplus(opened, false, true, true, id), QuorvexStatus::OK);
  std::int32_t width = 0;
  GetImageWidth(id, width);
  EXPECT_EQ(width, 6);
  ReleaseImage(id);
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  ASSERT_EQ(LoadWithGdiplus(opened, true, true, true, id), QuorvexStatus::OK);
  GetImageWidth(id, width);
  EXPECT_EQ(width, 6);
  ReleaseImage(id);
}

}  // namespace
}  // namespace pixavue::engine::test
