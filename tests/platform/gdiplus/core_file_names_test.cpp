// File names between UTF-16 and the file system's bytes, and what the
// loading path does with names that are not regular files.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/wide_file_name.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

using namespace std::string_literals;

TEST(WideFileNames, WellFormedUtf8BecomesTheSameCharacters) {
  EXPECT_EQ(WideFromFileName("a/b.png"), u"a/b.png");
  EXPECT_EQ(WideFromFileName("b\xC3\xA9" "b\xE2\x82\xAC \xF0\x9F\x98\x80"), u"b\u00E9b\u20AC \U0001F600");
  EXPECT_EQ(FileNameFromWide(u"b\u00E9b\u20AC \U0001F600"), "b\xC3\xA9" "b\xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(WideFromFileName(""), u"");
}

TEST(WideFileNames, BytesThatAreNotUtf8BecomeEscapesAndComeBack) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"caf\xE9.jpg", u"caf\xDCE9.jpg"},                 // a Latin-1 name
      {"\xFF", u"\xDCFF"},                               // a byte no sequence starts with
      {"\xE2\x82.x", u"\xDCE2\xDC82.x"},                  // a sequence cut short
      {"\xC0\xAF", u"\xDCC0\xDCAF"},                      // an overlong "/"
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},  // above U+10FFFF
      {"\x80\xC3\xA9", u"\xDC80\u00E9"},                  // a stray continuation, then a character
  };
  for (const auto& [name, wide] : cases) {
    EXPECT_EQ(WideFromFileName(name), wide);
    EXPECT_EQ(FileNameFromWide(wide), name);
  }
}

TEST(WideFileNames, OtherLoneSurrogatesBecomeTheReplacementCharacter) {
  EXPECT_EQ(FileNameFromWide(u"a\xD83D"), "a\xEF\xBF\xBD");        // a high surrogate at the end
  EXPECT_EQ(FileNameFromWide(u"\xD83Dx"), "\xEF\xBF\xBDx");         // a high surrogate without its pair
  EXPECT_EQ(FileNameFromWide(u"\xDC41\xDFFF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // low ones no byte maps to
}

class GdiplusFileNames : public GdiplusTest {
 protected:
  // temp_dir()/name, name taken as bytes.
  std::string BytePath(const std::string& name) const { return temp_dir().native() + "/" + name; }
};

TEST_F(GdiplusFileNames, AFileNamedWithBytesThatAreNotUtf8LoadsAndSaves) {
  GpBitmap* bitmap = MakeBitmap(2, 1, PixelFormat24bppRGB, {0xFF102030, 0xFF405060});
  ImageGuard guard(bitmap);
  const std::string written = BytePath("caf\xE9\xFF.png");
  ASSERT_EQ(SaveImage(bitmap, temp_dir() / "plain.png", CLSID_PngCodec), Ok);
  ASSERT_EQ(::rename((temp_dir() / "plain.png").c_str(), written.c_str()), 0);

  GpImage* loaded = nullptr;
  ASSERT_EQ(GdipLoadImageFromFile(WideFromFileName(written).c_str(), &loaded), Ok);
  ImageGuard loadedGuard(loaded);
  GUID format{};
  GdipGetImageRawFormat(loaded, &format);
  EXPECT_EQ(format, ImageFormatPNG);
  EXPECT_EQ(ReadArgbPixels(loaded), (std::vector<ARGB>{0xFF102030, 0xFF405060}));

  const std::string saved = BytePath("\xC0\xAF" "copy.bmp");
  ASSERT_EQ(GdipSaveImageToFile(loaded, WideFromFileName(saved).c_str(), &CLSID_BmpCodec, nullptr), Ok);
  struct stat info {};
  EXPECT_EQ(::stat(saved.c_str(), &info), 0) << "saved under other bytes";
  EXPECT_GT(info.st_size, 0);
}

TEST_F(GdiplusFileNames, NamesThatAreNoRegularFilesAreRefusedWithoutBeingRead) {
  GpImage* image = nullptr;
  EXPECT_EQ(GdipLoadImageFromFile(u"/dev/zero", &image), AccessDenied);
  EXPECT_EQ(GdipLoadImageFromFile(u"/dev/null", &image), AccessDenied);
  EXPECT_EQ(image, nullptr);

  // A pipe nobody writes to: a blocking open would wait for a writer. The
  // writer opened after the wait frees a loader that did block.
  const std::string pipe = BytePath("pipe.png");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  auto load = std::async(std::launch::async, [&] {
    GpImage* fromPipe = nullptr;
    const GpStatus status = GdipLoadImageFromFile(WideFromFileName(pipe).c_str(), &fromPipe);
    if (fromPipe != nullptr) GdipDisposeImage(fromPipe);
    return status;
  });
  const bool finished = load.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  if (!finished) {
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  }
  EXPECT_TRUE(finished) << "the load waited on the pipe";
  EXPECT_EQ(load.get(), AccessDenied);
}

}  // namespace
}  // namespace pixavue::platform::test
