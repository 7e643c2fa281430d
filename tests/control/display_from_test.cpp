// The control's loaders end to end: files with the dialog and the forced
// temporary copy, byte arrays and strings through temporary files, streams,
// metafiles, handles, and images shared between controls.

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/gdiplus_stream.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/memory_stream.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control_test_support.h"

namespace pixavue::testing {
namespace {

namespace fs = std::filesystem;
using platform::GpImage;

// The bytes of a width x height image in the encoder's format; pixel (x, y)
// is a colour of its own.
std::vector<std::uint8_t> EncodedImage(int width, int height, const platform::CLSID& encoder) {
  GpImage* bitmap = nullptr;
  EXPECT_EQ(platform::GdipCreateBitmapFromScan0(width, height, 0, platform::PixelFormat24bppRGB, nullptr, &bitmap),
            platform::Ok);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      platform::GdipBitmapSetPixel(bitmap, x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 40) << 16 | y * 40);
    }
  }
  platform::ComPtr<platform::IStream> stream;
  EXPECT_EQ(platform::CreateMemoryStream({}, stream.ReleaseAndGetAddressOf()), platform::S_OK);
  EXPECT_EQ(platform::GdipSaveImageToStream(bitmap, stream.Get(), &encoder, nullptr), platform::Ok);
  platform::GdipDisposeImage(bitmap);
  std::vector<std::uint8_t> bytes;
  platform::GetBytesFromMemoryStream(stream.Get(), bytes);
  return bytes;
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Controls whose temporary files go to a folder of the test's own, with a
// second folder for the test's source files.
class DisplayFromTest : public ControlTest {
 protected:
  DisplayFromTest() : temp_(MakeFolder("tmp")), sources_(MakeFolder("src")) {
    if (const char* tmp = std::getenv("TMP")) savedTmp_ = tmp;
    ::setenv("TMP", temp_.c_str(), 1);
    control_ = NewControl();
  }
  ~DisplayFromTest() override {
    control_.reset();
    if (savedTmp_) {
      ::setenv("TMP", savedTmp_->c_str(), 1);
    } else {
      ::unsetenv("TMP");
    }
    std::error_code ignored;
    fs::remove_all(temp_.parent_path(), ignored);
  }

  static fs::path MakeFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("pixavue_display_" + std::to_string(::getpid())) / name;
    fs::create_directories(folder);
    return folder;
  }

  ImageBox& box() { return control_->Control(); }
  std::size_t TempFiles() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(temp_), fs::directory_iterator()));
  }
  fs::path Source(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    WriteFile(sources_ / name, bytes);
    return sources_ / name;
  }

  std::optional<std::string> savedTmp_;
  fs::path temp_;
  fs::path sources_;
  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(DisplayFromTest, FileLoadsAtPageOneAndFailuresShowNothing) {
  const fs::path png = Source("a.png", EncodedImage(5, 3, platform::CLSID_PngCodec));
  EXPECT_EQ(box().DisplayFromFile(png.string()), QuorvexStatus::OK);
  EXPECT_EQ(box().get_ImageWidth(), 5);
  EXPECT_EQ(box().get_ImageHeight(), 3);
  EXPECT_EQ(box().get_CurrentPage(), 1);
  EXPECT_EQ(box().get_PageCount(), 1);
  EXPECT_EQ(box().GetImageFormat(), "PNG");
  const engine::ImageId first = box().GetNativeImage();

  // Written with "\" and doubled separators, and with surrounding spaces.
  std::string windowsStyle = "  " + png.string() + " ";
  for (char& c : windowsStyle) c = c == '/' ? '\\' : c;
  windowsStyle.insert(windowsStyle.find("a.png"), "\\\\");
  EXPECT_EQ(box().DisplayFromFileICM(windowsStyle), QuorvexStatus::OK);
  EXPECT_NE(box().GetNativeImage(), first);
  EXPECT_NE(engine::SlotOf(first), nullptr) << "a load does not release the image shown before";
  engine::ReleaseImage(first);

  box().CloseImage();
  EXPECT_EQ(box().DisplayFromFile((sources_ / "missing.png").string()), QuorvexStatus::FileNotFound);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::FileNotFound);
  EXPECT_EQ(box().GetNativeImage(), engine::kNoImage);
  EXPECT_EQ(box().GetImageFormat(), "");
  EXPECT_EQ(box().get_CurrentPage(), 0);
  EXPECT_EQ(LiveImages(), 0u);
}

TEST_F(DisplayFromTest, EmptyPathAsksForAFile) {
  const fs::path bmp = Source("b.bmp", EncodedImage(2, 7, platform::CLSID_BmpCodec));
  host_.QueueOpenFileAnswer(bmp.string());
  EXPECT_EQ(box().DisplayFromFile("  "), QuorvexStatus::OK);
  ASSERT_EQ(host_.OpenFileRequests().size(), 1u);
  EXPECT_EQ(host_.OpenFileRequests()[0].title, "Open File");
  EXPECT_EQ(host_.OpenFileRequests()[0].owner, box().get_hwnd());
  EXPECT_EQ(box().get_ImageHeight(), 7);
  box().CloseImage();

  host_.QueueOpenFileAnswer(std::nullopt);
  EXPECT_EQ(box().DisplayFromFile(""), QuorvexStatus::FileNotFound);
  EXPECT_EQ(host_.OpenFileRequests().size(), 2u);
}

TEST_F(DisplayFromTest, ForcedTemporaryCopyOutlivesItsSourceAndGoesWithTheImage) {
  box().put_ImageForceTemporaryMode(true);
  const fs::path png = Source("c.png", EncodedImage(4, 4, platform::CLSID_PngCodec));
  ASSERT_EQ(box().DisplayFromFile(png.string()), QuorvexStatus::OK);
  ASSERT_TRUE(box().Runtime().EngineState.TempFileInUse);
  const fs::path copy = box().Runtime().EngineState.TempFilePath;
  EXPECT_EQ(copy.parent_path(), temp_);
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_EQ(fs::status(copy).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  fs::remove(png);
  EXPECT_EQ(box().Redraw(), QuorvexStatus::OK);
  EXPECT_EQ(box().get_ImageWidth(), 4);
  box().CloseImage();
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(box().Runtime().EngineState.TempFileInUse);

  // A copy that does not load is deleted at once.
  const fs::path junk = Source("junk.png", {1, 2, 3, 4, 5});
  EXPECT_NE(box().DisplayFromFile(junk.string()), QuorvexStatus::OK);
  EXPECT_EQ(TempFiles(), 0u);
  EXPECT_FALSE(box().Runtime().EngineState.TempFileInUse);
}

TEST_F(DisplayFromTest, ByteArraysLoadThroughATemporaryFileDeletedWithTheImage) {
  const std::vector<std::uint8_t> png = EncodedImage(6, 2, platform::CLSID_PngCodec);
  EXPECT_EQ(box().DisplayFromByteArray(png), 0);
  EXPECT_EQ(box().get_ImageWidth(), 6);
  EXPECT_EQ(TempFiles(), 1u);
  EXPECT_TRUE(fs::exists(box().Runtime().EngineState.TempFilePath));
  box().CloseImage();
  EXPECT_EQ(TempFiles(), 0u);

  // A failure leaves no file; with a forced copy only the copy stays, and it
  // goes with the image too.
  EXPECT_NE(box().DisplayFromByteArrayICM(std::vector<std::uint8_t>{'B', 'M', 0, 0}), 0);
  EXPECT_EQ(TempFiles(), 0u);
  box().put_ImageForceTemporaryMode(true);
  EXPECT_EQ(box().DisplayFromByteArray(png), 0);
  EXPECT_EQ(TempFiles(), 1u);
  box().CloseImage();
  EXPECT_EQ(TempFiles(), 0u);
  EXPECT_EQ(LiveImages(), 0u);
}

// The name given is the file shown when it exists: spaces and "\" are
// ordinary characters of a name, and names need not be UTF-8.
TEST_F(DisplayFromTest, APathNamesExactlyTheFileItSpells) {
  const fs::path plain = Source("x.png", EncodedImage(3, 1, platform::CLSID_PngCodec));
  const fs::path spaced = Source(" x.png", EncodedImage(5, 1, platform::CLSID_PngCodec));
  const fs::path latin1 = Source("\xE9t\xE9.jpg", EncodedImage(6, 1, platform::CLSID_JpegCodec));
  ASSERT_EQ(box().DisplayFromFile(spaced.string()), QuorvexStatus::OK);
  EXPECT_EQ(box().get_ImageWidth(), 5);
  ASSERT_EQ(box().DisplayFromFile(" " + plain.string() + " "), QuorvexStatus::OK);  // no such name: trimmed
  EXPECT_EQ(box().get_ImageWidth(), 3);
  ASSERT_EQ(box().DisplayFromFile(latin1.string()), QuorvexStatus::OK);
  EXPECT_EQ(box().get_ImageWidth(), 6);
  EXPECT_EQ(box().GetImageFormat(), "JPEG");

  box().put_ImageForceTemporaryMode(true);
  ASSERT_EQ(box().DisplayFromFile(spaced.string()), QuorvexStatus::OK);
  EXPECT_TRUE(box().Runtime().EngineState.TempFileInUse);
  EXPECT_EQ(box().get_ImageWidth(), 5);
  ASSERT_EQ(box().DisplayFromFile(latin1.string()), QuorvexStatus::OK);
  EXPECT_EQ(box().GetImageFormat(), "JPEG");
  box().CloseImage();

  // A pipe under the name is no file: nothing waits, nothing is copied.
  const fs::path pipe = sources_ / "pipe.png";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(box().DisplayFromFile(pipe.string()), QuorvexStatus::FileNotFound);
  EXPECT_EQ(box().DisplayFromMetaFile(pipe.string(), 1.0f), QuorvexStatus::FileNotFound);
  EXPECT_EQ(TempFiles(), 0u);
}

// A temporary file is a copy of the user's image: it goes when the control
// ends, also while other controls keep the thread's images.
TEST_F(DisplayFromTest, TerminationAndDestructionDeleteTheTemporaryFileShown) {
  const std::vector<std::uint8_t> png = EncodedImage(3, 2, platform::CLSID_PngCodec);
  const fs::path source = Source("d.png", png);
  auto other = NewControl();
  const auto loadBytes = [&](ImageBox& box) { return box.DisplayFromByteArray(png) == 0; };
  const auto loadString = [&](ImageBox& box) {
    return box.DisplayFromString(std::u16string(png.begin(), png.end())) == 0;
  };
  const auto loadForcedCopy = [&](ImageBox& box) {
    box.put_ImageForceTemporaryMode(true);
    return box.DisplayFromFile(source.string()) == QuorvexStatus::OK;
  };
  for (const auto& load : {std::function<bool(ImageBox&)>(loadBytes), std::function<bool(ImageBox&)>(loadString),
                           std::function<bool(ImageBox&)>(loadForcedCopy)}) {
    auto terminated = NewControl();
    ASSERT_TRUE(load(terminated->Control()));
    auto destroyed = NewControl();
    ASSERT_TRUE(load(destroyed->Control()));
    EXPECT_EQ(TempFiles(), 2u);
    const std::size_t images = LiveImages();
    terminated->Control().Terminate();
    EXPECT_EQ(TempFiles(), 1u);
    destroyed.reset();
    EXPECT_EQ(TempFiles(), 0u);
    EXPECT_EQ(LiveImages(), images - 2) << "the images of the files went with them";
  }
  // The thread's last control takes its own file along too.
  ASSERT_TRUE(loadBytes(box()));
  other.reset();
  control_.reset();
  EXPECT_EQ(TempFiles(), 0u);
  EXPECT_TRUE(fs::exists(source));
}

TEST_F(DisplayFromTest, StringsCarryOneBytePerCharacter) {
  EXPECT_EQ(box().DisplayFromString(u""), 1);
  EXPECT_EQ(box().DisplayFromString(u"x"), 21);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::ProfileNotFound);

  const std::vector<std::uint8_t> bmp = EncodedImage(3, 5, platform::CLSID_BmpCodec);
  std::u16string widened(bmp.begin(), bmp.end());
  EXPECT_EQ(box().DisplayFromString(widened), 0);
  EXPECT_EQ(box().get_ImageWidth(), 3);
  EXPECT_EQ(box().get_ImageHeight(), 5);

  // A failed string load before any loading keeps the image shown.
  EXPECT_EQ(box().DisplayFromString(u"x"), 21);
  EXPECT_NE(box().GetNativeImage(), engine::kNoImage);
  box().CloseImage();
  EXPECT_EQ(TempFiles(), 0u);
}

TEST_F(DisplayFromTest, GifFromFileIsAnInPlaceDocumentAndFromAStreamASplitOne) {
  const fs::path gif = Source("anim.gif", GifBytes({0, 7, 30}));
  ASSERT_EQ(box().DisplayFromFile(gif.string()), QuorvexStatus::OK);
  EXPECT_EQ(box().get_PageCount(), 3);
  EXPECT_EQ(box().Runtime().FrameDelays, (std::vector<std::int32_t>{250, 70, 300}));
  const engine::ImageSlot* slot = engine::SlotOf(box().GetNativeImage());
  ASSERT_NE(slot, nullptr);
  EXPECT_TRUE(slot->InPlacePages);
  box().CloseImage();

  platform::ComPtr<platform::IStream> stream;
  ASSERT_EQ(platform::CreateMemoryStream(GifBytes({5, 6}), stream.ReleaseAndGetAddressOf()), platform::S_OK);
  ASSERT_EQ(box().DisplayFromStream(stream.Get()), QuorvexStatus::OK);
  slot = engine::SlotOf(box().GetNativeImage());
  ASSERT_NE(slot, nullptr);
  EXPECT_FALSE(slot->InPlacePages);
  EXPECT_EQ(box().get_PageCount(), 2);
  EXPECT_EQ(box().Runtime().FrameDelays, (std::vector<std::int32_t>{50, 60}));
  EXPECT_EQ(TempFiles(), 2u) << "one page file per frame";
  box().CloseImage();
  EXPECT_EQ(TempFiles(), 0u);
  EXPECT_EQ(box().DisplayFromStreamICM(nullptr), QuorvexStatus::InvalidParameter);
}

TEST_F(DisplayFromTest, NativeImageIsSharedNotTakenOver) {
  const fs::path png = Source("d.png", EncodedImage(8, 3, platform::CLSID_PngCodec));
  ASSERT_EQ(box().DisplayFromFile(png.string()), QuorvexStatus::OK);
  auto other = NewControl();
  EXPECT_EQ(other->Control().DisplayFromQuorvexImage(box().GetNativeImage()), QuorvexStatus::OK);
  EXPECT_EQ(other->Control().get_ImageWidth(), 8);
  EXPECT_EQ(other->Control().GetImageFormat(), "PNG");
  EXPECT_EQ(LiveImages(), 1u);
  other->Control().CloseImage();
  EXPECT_EQ(LiveImages(), 0u) << "closing releases the image for both controls";
  EXPECT_EQ(other->Control().SetNativeImage(engine::kNoImage), QuorvexStatus::InvalidParameter);
}

TEST_F(DisplayFromTest, BitmapHandleFallsBackToIconsAndHandlesStayTheCallers) {
  std::vector<std::uint32_t> colour(16 * 16, 0xFF336699u);
  std::vector<std::uint8_t> mask(2 * 16, 0);
  platform::ICONINFO info{};
  info.fIcon = 1;
  info.hbmColor = platform::CreateBitmap(16, 16, 1, 32, colour.data());
  info.hbmMask = platform::CreateBitmap(16, 16, 1, 1, mask.data());
  const platform::HICON icon = platform::CreateIconIndirect(&info);
  ASSERT_NE(icon, platform::HICON{});
  EXPECT_EQ(box().DisplayFromHBitmap(static_cast<platform::OLE_HANDLE>(icon)), QuorvexStatus::OK);
  EXPECT_EQ(box().get_ImageWidth(), 16);
  box().CloseImage();
  EXPECT_EQ(box().DisplayFromHBitmap(static_cast<platform::OLE_HANDLE>(info.hbmColor)), QuorvexStatus::OK);
  box().CloseImage();
  EXPECT_EQ(box().DisplayFromHICON(0), QuorvexStatus::InvalidParameter);
  EXPECT_TRUE(platform::DestroyIcon(icon));
  platform::DeleteObject(static_cast<platform::HGDIOBJ>(info.hbmColor));
  platform::DeleteObject(static_cast<platform::HGDIOBJ>(info.hbmMask));
}

TEST_F(DisplayFromTest, FailedMetafileLoadLeavesThePreviousImage) {
  const fs::path png = Source("e.png", EncodedImage(2, 2, platform::CLSID_PngCodec));
  ASSERT_EQ(box().DisplayFromFile(png.string()), QuorvexStatus::OK);
  const engine::ImageId previous = box().GetNativeImage();
  EXPECT_EQ(box().DisplayFromMetaFile((sources_ / "none.wmf").string()), QuorvexStatus::FileNotFound);
  EXPECT_NE(box().DisplayFromMetaFile(png.string(), 2.0f), QuorvexStatus::OK);
  EXPECT_EQ(box().GetNativeImage(), engine::kNoImage);
  EXPECT_NE(engine::SlotOf(previous), nullptr);
  EXPECT_EQ(LiveImages(), 1u);
  engine::ReleaseImage(previous);
}

}  // namespace
}  // namespace pixavue::testing
