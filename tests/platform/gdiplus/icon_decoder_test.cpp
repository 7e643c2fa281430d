// ICO and CUR loading: which directory entry is shown, how DIB entries get
// their transparency (own alpha or AND mask), PNG entries, and damaged
// directories. The files are built here entry by entry.

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

// One DIB image of an icon: `values` are palette indices (1/4/8 bits) or
// ARGB colours (24/32 bits), row by row from the top; `mask` marks the
// pixels whose AND bit is 1.
struct DibImage final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bits = 0;
  std::vector<ARGB> palette;
  std::vector<std::uint32_t> values;
  std::vector<bool> mask;
  bool withMask = true;
};

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

std::vector<std::uint8_t> EncodeDib(const DibImage& image) {
  std::vector<std::uint8_t> out;
  PutU32(out, 40);
  PutU32(out, image.width);
  PutU32(out, image.height * 2);
  PutU16(out, 1);
  PutU16(out, image.bits);
  for (int i = 0; i < 6; ++i) PutU32(out, 0);
  for (ARGB c : image.palette) PutU32(out, c & 0xFFFFFFu);
  const std::size_t rowBytes = (std::size_t{image.width} * image.bits + 31) / 32 * 4;
  for (std::uint32_t stored = 0; stored < image.height; ++stored) {
    const std::uint32_t y = image.height - 1 - stored;
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const std::uint32_t v = image.values[y * image.width + x];
      if (image.bits <= 8) {
        const std::uint32_t bit = x * image.bits;
        row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (v << (8 - image.bits - bit % 8)));
      } else {
        const std::size_t at = x * (image.bits / 8u);
        row[at] = static_cast<std::uint8_t>(v);
        row[at + 1] = static_cast<std::uint8_t>(v >> 8);
        row[at + 2] = static_cast<std::uint8_t>(v >> 16);
        if (image.bits == 32) row[at + 3] = static_cast<std::uint8_t>(v >> 24);
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  if (!image.withMask) return out;
  const std::size_t maskRowBytes = (std::size_t{image.width} + 31) / 32 * 4;
  for (std::uint32_t stored = 0; stored < image.height; ++stored) {
    const std::uint32_t y = image.height - 1 - stored;
    std::vector<std::uint8_t> row(maskRowBytes, 0);
    for (std::uint32_t x = 0; x < image.width; ++x) {
      if (!image.mask.empty() && image.mask[y * image.width + x]) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, png_uint_32 format, const void* pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = format;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr));
  std::vector<std::uint8_t> out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, nullptr));
  out.resize(size);
  return out;
}

struct IconEntrySpec final {
  std::uint8_t width = 0;  // as stored: 0 means 256
  std::uint8_t height = 0;
  std::uint16_t bitCount = 0;  // the directory's field, often 0 in real files
  std::vector<std::uint8_t> image;
};

std::vector<std::uint8_t> IconFile(const std::vector<IconEntrySpec>& entries, std::uint16_t type = 1) {
  std::vector<std::uint8_t> out;
  PutU16(out, 0);
  PutU16(out, type);
  PutU16(out, static_cast<std::uint32_t>(entries.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IconEntrySpec& entry : entries) {
    out.insert(out.end(), {entry.width, entry.height, 0, 0});
    PutU16(out, type == 2 ? 3 : 1);  // planes, or the hotspot's x
    PutU16(out, type == 2 ? 5 : entry.bitCount);
    PutU32(out, static_cast<std::uint32_t>(entry.image.size()));
    PutU32(out, offset);
    offset += static_cast<std::uint32_t>(entry.image.size());
  }
  for (const IconEntrySpec& entry : entries) out.insert(out.end(), entry.image.begin(), entry.image.end());
  return out;
}

// A square DIB of `bits` where every pixel has palette index or colour `value`.
DibImage Filled(std::uint32_t side, std::uint16_t bits, std::uint32_t value, std::vector<ARGB> palette = {}) {
  DibImage image;
  image.width = image.height = side;
  image.bits = bits;
  image.palette = std::move(palette);
  image.values.assign(std::size_t{side} * side, value);
  return image;
}

std::vector<ARGB> Palette(std::size_t entries, ARGB special, std::size_t at) {
  std::vector<ARGB> palette(entries, 0xFF000000u);
  palette[at] = special;
  return palette;
}

class IconDecoderTest : public GdiplusTest {
 protected:
  GpImage* Load(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("icon" + std::to_string(files_++) + ".ico");
    WriteFile(path, bytes);
    return LoadImage(path);
  }
  GpStatus LoadStatus(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("bad" + std::to_string(files_++) + ".ico");
    WriteFile(path, bytes);
    GpImage* image = nullptr;
    const GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }
  static std::pair<UINT32, UINT32> Size(GpImage* image) {
    UINT32 width = 0, height = 0;
    EXPECT_EQ(GdipGetImageWidth(image, &width), Ok);
    EXPECT_EQ(GdipGetImageHeight(image, &height), Ok);
    return {width, height};
  }

 private:
  int files_ = 0;
};

TEST_F(IconDecoderTest, LargestEntryWinsOverDeeperOnes) {
  const auto icon = IconFile({
      {16, 16, 8, EncodeDib(Filled(16, 8, 7, Palette(256, 0xFF112233u, 7)))},
      {32, 32, 32, EncodeDib(Filled(32, 32, 0xFF445566u))},
      {48, 48, 4, EncodeDib(Filled(48, 4, 9, Palette(16, 0xFF778899u, 9)))},
  });
  ImageGuard image(Load(icon));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_EQ(Size(image.get()), std::make_pair(48u, 48u));
  GUID raw{};
  ASSERT_EQ(GdipGetImageRawFormat(image.get(), &raw), Ok);
  EXPECT_EQ(raw, ImageFormatIcon);
  PixelFormat format = 0;
  ASSERT_EQ(GdipGetImagePixelFormat(image.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat32bppARGB);
  REAL dpi = 0;
  ASSERT_EQ(GdipGetImageHorizontalResolution(image.get(), &dpi), Ok);
  EXPECT_EQ(dpi, 96.0f);
  EXPECT_EQ(ReadArgbPixels(image.get()), std::vector<ARGB>(48 * 48, 0xFF778899u));
}

TEST_F(IconDecoderTest, DeeperEntryBreaksASizeTieUsingTheImageHeader) {
  // The directory's bit counts are 0 (as many files have); the DIB headers
  // say 4 and 24 bits. A later, shallower entry of the same size loses too.
  const auto icon = IconFile({
      {32, 32, 0, EncodeDib(Filled(32, 4, 1, Palette(16, 0xFF0000FFu, 1)))},
      {32, 32, 0, EncodeDib(Filled(32, 24, 0xFF00FF00u))},
      {32, 32, 0, EncodeDib(Filled(32, 8, 2, Palette(256, 0xFFFF0000u, 2)))},
  });
  ImageGuard image(Load(icon));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(image.get()), std::vector<ARGB>(32 * 32, 0xFF00FF00u));
}

TEST_F(IconDecoderTest, AndMaskGivesTransparencyUnlessThe32BitImageHasAlpha) {
  // 8-bit image, AND mask on the left half of the top row.
  DibImage masked = Filled(4, 8, 3, Palette(256, 0xFFABCDEFu, 3));
  masked.mask.assign(16, false);
  masked.mask[0] = masked.mask[1] = true;
  ImageGuard first(Load(IconFile({{4, 4, 8, EncodeDib(masked)}})));
  ASSERT_NE(first.get(), nullptr);
  std::vector<ARGB> expected(16, 0xFFABCDEFu);
  expected[0] = expected[1] = 0;
  EXPECT_EQ(ReadArgbPixels(first.get()), expected);

  // 32-bit with alpha: its own alpha counts and the mask is ignored.
  DibImage alpha = Filled(4, 32, 0x80102030u);
  alpha.values[5] = 0x00405060u;
  alpha.mask.assign(16, true);
  ImageGuard second(Load(IconFile({{4, 4, 32, EncodeDib(alpha)}})));
  ASSERT_NE(second.get(), nullptr);
  expected.assign(16, 0x80102030u);
  expected[5] = 0x00405060u;
  EXPECT_EQ(ReadArgbPixels(second.get()), expected);

  // 32-bit with all alpha zero: the mask decides, colours become opaque.
  DibImage noAlpha = Filled(4, 32, 0x00102030u);
  noAlpha.mask.assign(16, false);
  noAlpha.mask[15] = true;
  ImageGuard third(Load(IconFile({{4, 4, 32, EncodeDib(noAlpha)}})));
  ASSERT_NE(third.get(), nullptr);
  expected.assign(16, 0xFF102030u);
  expected[15] = 0;
  EXPECT_EQ(ReadArgbPixels(third.get()), expected);

  // No mask stored at all: opaque.
  DibImage bare = Filled(4, 24, 0xFF0A0B0Cu);
  bare.withMask = false;
  ImageGuard fourth(Load(IconFile({{4, 4, 24, EncodeDib(bare)}})));
  ASSERT_NE(fourth.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(fourth.get()), std::vector<ARGB>(16, 0xFF0A0B0Cu));
}

TEST_F(IconDecoderTest, PngEntriesAndCursors) {
  std::vector<ARGB> pixels(256 * 256);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<ARGB>(i * 2654435761u) | 0x01000000u;
  const auto icon = IconFile({
      {48, 48, 32, EncodeDib(Filled(48, 32, 0xFF000000u))},
      {0, 0, 32, EncodePng(256, 256, PNG_FORMAT_BGRA, pixels.data())},
  });
  ImageGuard image(Load(icon));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_EQ(Size(image.get()), std::make_pair(256u, 256u));
  EXPECT_EQ(ReadArgbPixels(image.get()), pixels);

  // Two PNG entries of one size: the RGBA one (32 bits) beats the 8-bit
  // grey one listed first, by the depth read from their IHDR.
  const std::vector<std::uint8_t> greyLevels{10, 20, 30, 40};
  const std::vector<ARGB> colours{0xFF010203u, 0xFF040506u, 0xFF070809u, 0xFF0A0B0Cu};
  ImageGuard pngs(Load(IconFile({{2, 2, 0, EncodePng(2, 2, PNG_FORMAT_GRAY, greyLevels.data())},
                                 {2, 2, 0, EncodePng(2, 2, PNG_FORMAT_BGRA, colours.data())}})));
  ASSERT_NE(pngs.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(pngs.get()), colours);

  // A cursor: same directory with hotspots in place of planes and depth.
  ImageGuard cursor(Load(IconFile({{8, 8, 0, EncodeDib(Filled(8, 24, 0xFF123456u))}}, 2)));
  ASSERT_NE(cursor.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(cursor.get()), std::vector<ARGB>(64, 0xFF123456u));
}

TEST_F(IconDecoderTest, DamagedDirectoriesAreRefused) {
  const auto good = IconFile({{4, 4, 24, EncodeDib(Filled(4, 24, 0xFF0A0B0Cu))}});
  auto noEntries = good;
  noEntries[4] = 0;
  EXPECT_EQ(LoadStatus(noEntries), InvalidParameter);
  auto tooMany = good;
  tooMany.resize(6 + 16 * 600, 0);
  tooMany[4] = 600 & 0xFF;
  tooMany[5] = 600 >> 8;
  EXPECT_EQ(LoadStatus(tooMany), InvalidParameter);
  auto countPastEnd = good;
  countPastEnd[4] = 10;  // 160 bytes of directory in a shorter file
  EXPECT_EQ(LoadStatus(countPastEnd), InvalidParameter);
  auto offsetPastEnd = good;
  offsetPastEnd[18] = 0xFF;  // the image offset, now 255
  EXPECT_EQ(LoadStatus(offsetPastEnd), InvalidParameter);
  auto sizePastEnd = good;
  sizePastEnd[14] = static_cast<std::uint8_t>(sizePastEnd[14] + 1);
  EXPECT_EQ(LoadStatus(sizePastEnd), InvalidParameter);
  // A DIB cut inside its pixel bits (the entry's size says so too).
  auto dib = EncodeDib(Filled(4, 24, 1));
  dib.resize(50);
  const auto cut = IconFile({{4, 4, 24, dib}});
  EXPECT_EQ(LoadStatus(cut), InvalidParameter);
  // A bad entry beside a good one is passed over.
  auto mixed = IconFile({{64, 64, 32, std::vector<std::uint8_t>(10, 0)}, {4, 4, 24, EncodeDib(Filled(4, 24, 1))}});
  mixed[6 + 12] = 0xF0;  // the 64x64 entry's offset far past the end
  ImageGuard image(Load(mixed));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_EQ(Size(image.get()), std::make_pair(4u, 4u));
  // Every prefix: a status, never a crash.
  for (std::size_t length = 4; length < good.size(); ++length) {
    const GpStatus status = LoadStatus({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)});
    EXPECT_TRUE(status == InvalidParameter || status == Ok) << length;
  }
}

}  // namespace
}  // namespace pixavue::platform::test
