// Feeds arbitrary packed DIBs (a BITMAPINFO and separate rows) to
// GdipCreateBitmapFromGdiDib, reads every pixel back, and sends what it
// accepts through a bitmap handle and an icon and back. Besides crashes,
// leaks and undefined behaviour it checks that the trip through a bitmap
// handle keeps opaque pixels and that no graphics object is left behind.
//
// Input: two bytes giving the length of the BITMAPINFO part, that part,
// then the rows. As the packed-DIB contract asks of callers, the harness
// gives the rows all the bytes the header claims (zero-filled past the
// input).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace {

using namespace pixavue::platform;

constexpr std::size_t kInfoBytes = 124 + 16 + 256 * 4;
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 20;
constexpr std::uint64_t kMaxRowBytes = std::uint64_t{1} << 24;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Bytes of rows the header claims (the larger of biSizeImage and the padded
// rows), or 0 when the harness skips the input as too large.
std::size_t ClaimedBytes(const BITMAPINFOHEADER& header) {
  const std::uint64_t width = static_cast<std::uint64_t>(std::llabs(header.biWidth));
  const std::uint64_t height = static_cast<std::uint64_t>(std::llabs(header.biHeight));
  if (width * height > kMaxFuzzPixels) return 0;
  const std::uint64_t rows = (width * std::min<std::uint64_t>(header.biBitCount, 64) + 31) / 32 * 4 * height;
  const std::uint64_t bytes = std::max<std::uint64_t>(rows, header.biSizeImage);
  return bytes > kMaxRowBytes ? 0 : static_cast<std::size_t>(std::max<std::uint64_t>(bytes, 1));
}

std::vector<ARGB> ReadPixels(GpBitmap* bitmap) {
  UINT width = 0;
  UINT height = 0;
  GdipGetImageWidth(bitmap, &width);
  GdipGetImageHeight(bitmap, &height);
  std::vector<ARGB> pixels(std::size_t{width} * height);
  BitmapData data{};
  data.Width = width;
  data.Height = height;
  data.Stride = static_cast<INT>(width * 4);
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = pixels.data();
  const GpRect all{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  Check(GdipBitmapLockBits(bitmap, &all, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                           &data) == Ok);
  Check(GdipBitmapUnlockBits(bitmap, &data) == Ok);
  return pixels;
}

void RoundTrips(GpBitmap* bitmap) {
  const std::vector<ARGB> pixels = ReadPixels(bitmap);
  HBITMAP handle{};
  if (GdipCreateHBITMAPFromBitmap(bitmap, &handle, 0xFF000000) == Ok) {
    GpBitmap* back = nullptr;
    Check(GdipCreateBitmapFromHBITMAP(handle, HPALETTE{}, &back) == Ok);
    const std::vector<ARGB> copied = ReadPixels(back);
    for (std::size_t i = 0; i < pixels.size(); ++i) Check((pixels[i] >> 24) != 0xFF || copied[i] == pixels[i]);
    GdipDisposeImage(back);
    Check(DeleteObject(ToGdiObject(handle)) != 0);
  }
  HICON icon{};
  if (GdipCreateHICONFromBitmap(bitmap, &icon) == Ok) {
    GpBitmap* back = nullptr;
    Check(GdipCreateBitmapFromHICON(icon, &back) == Ok);
    GdipDisposeImage(back);
    Check(DestroyIcon(icon) != 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static GDIP_ULONG_PTR token = [] {
    GDIP_ULONG_PTR opened = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&opened, &input, nullptr);
    return opened;
  }();
  (void)token;
  if (size < 2) return 0;
  const std::size_t infoLength = std::min<std::size_t>({std::size_t{data[0]} | (std::size_t{data[1]} << 8),
                                                        size - 2, kInfoBytes});
  std::vector<std::uint8_t> info(kInfoBytes + sizeof(BITMAPINFOHEADER), 0);
  std::memcpy(info.data(), data + 2, infoLength);
  BITMAPINFOHEADER header;
  std::memcpy(&header, info.data(), sizeof header);
  const std::size_t claimed = ClaimedBytes(header);
  if (claimed == 0) return 0;
  std::vector<std::uint8_t> rows(claimed, 0);
  const std::size_t rest = size - 2 - infoLength;
  std::memcpy(rows.data(), data + 2 + infoLength, std::min(rest, claimed));

  const std::size_t objects = GdiObjectCount();
  GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromGdiDib(reinterpret_cast<const BITMAPINFO*>(info.data()), rows.data(), &bitmap) == Ok) {
    RoundTrips(bitmap);
    GdipDisposeImage(bitmap);
  } else {
    Check(bitmap == nullptr);
  }
  Check(GdiObjectCount() == objects);
  return 0;
}
