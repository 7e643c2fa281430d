// Icons whose entries declare large images: a PNG entry is decoded once,
// straight to the icon's 32bppARGB (with the pixels the PNG decoder and a
// conversion would give), and a DIB entry without its bits is refused
// before its image is allocated.

#include <random>

#include "hostile_load.h"
#include "hostile_raster_files.h"
#include "pixel_convert.h"
#include "png_test_frames.h"

namespace pixavue::platform::test {
namespace {

class IconHostileTest : public HostileLoadTest {};

TEST_F(IconHostileTest, PngEntryIsHeldOnlyAsTheIconsPixels) {
  ZeroPngSpec spec;
  spec.width = spec.height = 4096;  // 128 MiB at 64 bits, 64 MiB as the icon's 32 bits
  spec.depth = 16;
  const ChildRun run = LoadInChild(IconOfPng(ZeroPng(spec)), std::uint64_t{4} << 30, "sixteen.ico");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  ExpectPeakBelow(run, PeakAllowance(64 * kMiB));

  spec.width = spec.height = 16384;
  spec.wholeData = false;
  const ChildRun refused = LoadInChild(IconOfPng(ZeroPng(spec)), 0, "huge.ico");
  ASSERT_TRUE(refused.finished);
  EXPECT_EQ(refused.status, OutOfMemory);
  ExpectPeakBelow(refused, kSmallPeak);
}

struct PngKind final {
  std::uint8_t colourType;
  std::uint8_t depth;
  std::vector<std::uint8_t> transparency;
};

TEST_F(IconHostileTest, PngEntryPixelsAreThoseOfThePngImageConverted) {
  const std::vector<PngKind> kinds{{6, 16, {}},        {2, 16, {}},     {0, 16, {}}, {4, 16, {}},
                                   {4, 8, {}},         {6, 8, {}},      {0, 2, {}},  {0, 1, {}},
                                   {0, 8, {0, 77}},    {0, 16, {1, 2}}, {3, 8, {0, 128, 255}},
                                   {3, 2, {}},         {3, 4, {9}},     {2, 8, {0, 1, 0, 2, 0, 3}}};
  std::mt19937 random(11);
  for (const PngKind& kind : kinds) {
    ZeroPngSpec spec;
    spec.width = 7;
    spec.height = 5;
    spec.colourType = kind.colourType;
    spec.depth = kind.depth;
    const std::uint64_t rowBytes = (spec.width * PngChannels(spec.colourType) * spec.depth + 7) / 8;
    std::vector<std::uint8_t> raw;
    for (std::uint32_t y = 0; y < spec.height; ++y) {
      raw.push_back(0);
      for (std::uint64_t i = 0; i < rowBytes; ++i) raw.push_back(static_cast<std::uint8_t>(random()));
    }
    std::vector<std::uint8_t> palette;
    if (kind.colourType == 3) {
      for (int i = 0; i < 3 << kind.depth; ++i) palette.push_back(static_cast<std::uint8_t>(random()));
    }
    const std::vector<std::uint8_t> png = PngOfRows(spec, raw, palette, kind.transparency);
    gdiplus::DecodedImage direct;
    ASSERT_EQ(gdiplus::DecodePng(Shared(png), {}, direct), Ok);
    gdiplus::Frame converted;
    const GpRect whole{0, 0, static_cast<INT>(spec.width), static_cast<INT>(spec.height)};
    ASSERT_EQ(gdiplus::ConvertArea(direct.frame, whole, PixelFormat32bppARGB, converted), Ok);
    gdiplus::DecodedImage icon;
    ASSERT_EQ(gdiplus::DecodeIcon(Shared(IconOfPng(png)), {}, icon), Ok);
    ASSERT_EQ(icon.frame.pixels.format(), PixelFormat32bppARGB);
    EXPECT_EQ(FrameArgb(icon.frame), FrameArgb(converted))
        << "colour type " << int{kind.colourType} << " depth " << int{kind.depth};
  }
}

TEST_F(IconHostileTest, DibEntryWithoutItsBitsIsRefusedBeforeItsImage) {
  std::vector<std::uint8_t> dib(40, 0);
  const auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put32(0, 40);
  put32(4, 16384);
  put32(8, 2 * 16384);  // the image and its mask
  dib[12] = 1;
  dib[14] = 32;
  dib.insert(dib.end(), 100, 0x55);
  std::vector<std::uint8_t> file = IconOfPng(dib);  // the directory does not look inside
  // Within the default budget and within a small one alike: the bits are missing.
  for (const std::uint64_t budget : {std::uint64_t{0}, 16 * kMiB}) {
    const ChildRun run = LoadInChild(file, budget, "dib.ico");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, InvalidParameter);
    ExpectPeakBelow(run, kSmallPeak);
  }
}

}  // namespace
}  // namespace pixavue::platform::test
