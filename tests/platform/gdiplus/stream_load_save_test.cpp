// Loading images from COM streams and saving them to streams: the image
// outlives the stream, reading starts at the stream's position, frames of
// multi-frame files stay selectable, metafiles and pictures load from
// streams as from files, and stream failures become statuses.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/picture_io.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/hglobal_stream.h>
#include <pixavue/platform/ole/memory_stream.h>

#include "gdiplus_test_support.h"
#include "metafile_test_files.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

ComPtr<IStream> MemoryStream(std::vector<std::uint8_t> bytes) {
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateMemoryStream(std::move(bytes), stream.ReleaseAndGetAddressOf()), S_OK);
  return stream;
}

// A stream whose reads or writes fail, as a broken network or file stream.
class FailingStream final : public RefCounted<IStream> {
 public:
  HRESULT Read(void*, ULONG, ULONG* read) noexcept override {
    if (read != nullptr) *read = 0;
    return STG_E_READFAULT;
  }
  HRESULT Write(const void*, ULONG, ULONG* written) noexcept override {
    if (written != nullptr) *written = 0;
    return STG_E_WRITEFAULT;
  }
  HRESULT Seek(std::int64_t, DWORD, std::uint64_t* position) noexcept override {
    if (position != nullptr) *position = 0;
    return S_OK;
  }
  HRESULT SetSize(std::uint64_t) noexcept override { return S_OK; }
  HRESULT Stat(STATSTG* stat, DWORD) noexcept override {
    *stat = STATSTG{};
    stat->cbSize = 100;
    return S_OK;
  }
  HRESULT Commit(DWORD) noexcept override { return S_OK; }
  HRESULT Clone(IStream**) noexcept override { return E_NOTIMPL; }
};

// Two 2x1 frames of a GIF: indices {0, 1}, then {1, 0}, over red and blue.
std::vector<std::uint8_t> TwoFrameGif() {
  std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0,
                                   0xFF, 0, 0, 0, 0, 0xFF};
  const std::uint8_t codes[2][2] = {{0x44, 0x0A}, {0x0C, 0x0A}};  // clear, two pixels, end (3-bit codes)
  for (const auto& frame : codes) {
    gif.insert(gif.end(), {0x21, 0xF9, 4, 0, 10, 0, 0, 0});                      // graphic control, 0.1 s
    gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, frame[0], frame[1], 0});
  }
  gif.push_back(0x3B);
  return gif;
}

std::vector<std::uint8_t> TwoPageTiff() {
  TiffPageSpec first;
  first.width = 2;
  first.samples = {10, 20};
  TiffPageSpec second = first;
  second.samples = {200, 250};
  return WriteTiffPages({first, second});
}

// A placeable WMF of 100 x 50 units at 1440 an inch, with no drawing.
std::vector<std::uint8_t> EmptyWmf() { return Placeable(0, 0, 100, 50, 1440, Wmf(kEndRecord)); }

class StreamTest : public GdiplusTest {
 protected:
  static std::vector<ARGB> FramePixels(GpImage* image, const GUID& dimension, UINT index) {
    EXPECT_EQ(GdipImageSelectActiveFrame(image, &dimension, index), Ok);
    return ReadArgbPixels(image);
  }
};

TEST_F(StreamTest, SavedToGlobalMemoryAndReloadedAfterTheStreamIsGone) {
  const std::vector<ARGB> pixels = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFFFFFFF, 0xFF000000};
  ImageGuard source(MakeBitmap(3, 2, PixelFormat24bppRGB, pixels));
  const struct {
    CLSID encoder;
    GUID format;
  } cases[] = {{CLSID_BmpCodec, ImageFormatBMP}, {CLSID_PngCodec, ImageFormatPNG}, {CLSID_TiffCodec, ImageFormatTIFF}};
  for (const auto& c : cases) {
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(kNullHglobal, true, stream.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(GdipSaveImageToStream(source.get(), stream.Get(), &c.encoder, nullptr), Ok);
    HGLOBAL block{};
    ASSERT_EQ(GetHGlobalFromStream(stream.Get(), &block), S_OK);
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
    ImageGuard loaded;
    ASSERT_EQ(GdipCreateBitmapFromStream(stream.Get(), reinterpret_cast<GpBitmap**>(loaded.out())), Ok);
    stream.Reset();
    EXPECT_EQ(GlobalSize(block), 0u) << "the block went with the stream";
    GUID format{};
    ASSERT_EQ(GdipGetImageRawFormat(loaded.get(), &format), Ok);
    EXPECT_EQ(std::memcmp(&format, &c.format, sizeof(GUID)), 0);
    EXPECT_EQ(ReadArgbPixels(loaded.get()), pixels);
  }
}

TEST_F(StreamTest, ReadsFromTheCurrentPosition) {
  std::vector<std::uint8_t> bytes = {'j', 'u', 'n', 'k'};
  const std::vector<std::uint8_t> gif = TwoFrameGif();
  bytes.insert(bytes.end(), gif.begin(), gif.end());
  ComPtr<IStream> stream = MemoryStream(bytes);
  ImageGuard image;
  EXPECT_EQ(GdipLoadImageFromStream(stream.Get(), image.out()), UnknownImageFormat);
  ASSERT_EQ(stream->Seek(4, STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(GdipLoadImageFromStreamICM(stream.Get(), image.out()), Ok);
  UINT width = 0;
  EXPECT_EQ(GdipGetImageWidth(image.get(), &width), Ok);
  EXPECT_EQ(width, 2u);
}

TEST_F(StreamTest, FramesOfMultiFrameFilesStaySelectable) {
  const struct {
    std::vector<std::uint8_t> bytes;
    GUID dimension;
    std::vector<ARGB> first, second;
  } cases[] = {
      {TwoFrameGif(), FrameDimensionTime, {0xFFFF0000, 0xFF0000FF}, {0xFF0000FF, 0xFFFF0000}},
      {TwoPageTiff(), FrameDimensionPage, {0xFF0A0A0A, 0xFF141414}, {0xFFC8C8C8, 0xFFFAFAFA}},
  };
  for (const auto& c : cases) {
    ImageGuard image;
    ASSERT_EQ(GdipCreateBitmapFromStreamICM(MemoryStream(c.bytes).Get(), reinterpret_cast<GpBitmap**>(image.out())),
              Ok);
    UINT count = 0;
    ASSERT_EQ(GdipImageGetFrameCount(image.get(), &c.dimension, &count), Ok);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(FramePixels(image.get(), c.dimension, 1), c.second);
    EXPECT_EQ(FramePixels(image.get(), c.dimension, 0), c.first);
  }
}

TEST_F(StreamTest, MetafilesAreImagesButNotBitmaps) {
  ImageGuard image;
  EXPECT_EQ(GdipCreateBitmapFromStream(MemoryStream(EmptyWmf()).Get(), reinterpret_cast<GpBitmap**>(image.out())),
            InvalidParameter);
  EXPECT_EQ(image.get(), nullptr);
  ASSERT_EQ(GdipLoadImageFromStream(MemoryStream(EmptyWmf()).Get(), image.out()), Ok);
  ImageType type = ImageTypeUnknown;
  EXPECT_EQ(GdipGetImageType(image.get(), &type), Ok);
  EXPECT_EQ(type, ImageTypeMetafile);
  ComPtr<IStream> out = MemoryStream({});
  EXPECT_EQ(GdipSaveImageToStream(image.get(), out.Get(), &CLSID_PngCodec, nullptr), NotImplemented);
}

// Loaders that read a whole file have stream forms that read the same
// bytes the same way, so that a file can be opened once and handed on.
TEST_F(StreamTest, MetafilesAndPicturesLoadFromStreamsAsFromFiles) {
  WriteFile(temp_dir() / "empty.wmf", EmptyWmf());
  ImageGuard fromFile;
  ASSERT_EQ(GdipCreateMetafileFromFile(Wide(temp_dir() / "empty.wmf").c_str(),
                                       reinterpret_cast<GpMetafile**>(fromFile.out())),
            Ok);
  ImageGuard fromStream;
  ASSERT_EQ(GdipCreateMetafileFromStream(MemoryStream(EmptyWmf()).Get(),
                                         reinterpret_cast<GpMetafile**>(fromStream.out())),
            Ok);
  UINT32 fileWidth = 0, streamWidth = 0;
  EXPECT_EQ(GdipGetImageWidth(fromFile.get(), &fileWidth), Ok);
  EXPECT_EQ(GdipGetImageWidth(fromStream.get(), &streamWidth), Ok);
  EXPECT_EQ(streamWidth, fileWidth);
  ImageType type = ImageTypeUnknown;
  EXPECT_EQ(GdipGetImageType(fromStream.get(), &type), Ok);
  EXPECT_EQ(type, ImageTypeMetafile);

  GpMetafile* metafile = nullptr;
  EXPECT_EQ(GdipCreateMetafileFromStream(MemoryStream(TwoFrameGif()).Get(), &metafile), UnknownImageFormat);
  EXPECT_EQ(GdipCreateMetafileFromStream(nullptr, &metafile), InvalidParameter);
  EXPECT_EQ(GdipCreateMetafileFromStream(MemoryStream(EmptyWmf()).Get(), nullptr), InvalidParameter);
  ComPtr<IStream> failing = MakeComPtr<FailingStream>();
  EXPECT_EQ(GdipCreateMetafileFromStream(failing.Get(), &metafile), InvalidParameter);
  EXPECT_EQ(metafile, nullptr);

  ComPtr<IPicture> picture;
  ASSERT_EQ(LoadPictureStream(MemoryStream(EmptyWmf()).Get(), picture.ReleaseAndGetAddressOf()), S_OK);
  SHORT pictureType = 0;
  EXPECT_EQ(picture->get_Type(&pictureType), S_OK);
  EXPECT_EQ(pictureType, PICTYPE_METAFILE);
  ComPtr<IPicture> gif;
  ASSERT_EQ(LoadPictureStream(MemoryStream(TwoFrameGif()).Get(), gif.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(gif->get_Type(&pictureType), S_OK);
  EXPECT_EQ(pictureType, PICTYPE_BITMAP);
  IPicture* none = nullptr;
  EXPECT_EQ(LoadPictureStream(MemoryStream(TwoPageTiff()).Get(), &none), CTL_E_INVALIDPICTURE);
  EXPECT_EQ(LoadPictureStream(failing.Get(), &none), CTL_E_PATHFILEACCESSERROR);
  EXPECT_EQ(LoadPictureStream(nullptr, &none), E_POINTER);
  EXPECT_EQ(LoadPictureStream(MemoryStream(EmptyWmf()).Get(), nullptr), E_POINTER);
  EXPECT_EQ(none, nullptr);
}

TEST_F(StreamTest, BadArgumentsAndFailingStreamsGiveStatuses) {
  GpImage* image = reinterpret_cast<GpImage*>(this);
  EXPECT_EQ(GdipLoadImageFromStream(nullptr, &image), InvalidParameter);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(GdipLoadImageFromStream(MemoryStream({}).Get(), nullptr), InvalidParameter);
  EXPECT_EQ(GdipLoadImageFromStream(MemoryStream({}).Get(), &image), UnknownImageFormat);
  std::vector<std::uint8_t> truncated = TwoFrameGif();
  truncated.resize(12);
  EXPECT_EQ(GdipLoadImageFromStream(MemoryStream(truncated).Get(), &image), InvalidParameter);
  ComPtr<IStream> failing = MakeComPtr<FailingStream>();
  EXPECT_EQ(GdipLoadImageFromStream(failing.Get(), &image), InvalidParameter);
  EXPECT_EQ(image, nullptr);

  ImageGuard source(MakeBitmap(1, 1, PixelFormat32bppARGB, {0x80FF0000}));
  ComPtr<IStream> out = MemoryStream({});
  EXPECT_EQ(GdipSaveImageToStream(source.get(), nullptr, &CLSID_PngCodec, nullptr), InvalidParameter);
  EXPECT_EQ(GdipSaveImageToStream(source.get(), out.Get(), nullptr, nullptr), InvalidParameter);
  EXPECT_EQ(GdipSaveImageToStream(source.get(), out.Get(), &CLSID_WmfCodec, nullptr), FileNotFound);
  EXPECT_EQ(GdipSaveImageToStream(nullptr, out.Get(), &CLSID_PngCodec, nullptr), InvalidParameter);
  EXPECT_EQ(GdipSaveImageToStream(source.get(), failing.Get(), &CLSID_PngCodec, nullptr), Win32Error);
}

}  // namespace
}  // namespace pixavue::platform::test
