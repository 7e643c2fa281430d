// Hostile GIF files: huge screens with tiny frames, many full-screen frames,
// frames whose data cannot hold them, and damage past the first frame. Each
// is refused or loaded within the memory its screen needs.

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include <gtest/gtest.h>

#include "codec.h"
#include "gdiplus_test_support.h"
#include "gif_test_files.h"
#include "peak_memory.h"

namespace pixavue::platform::test {
namespace {

constexpr ARGB kRed = 0xFFFF0000u;
constexpr ARGB kGreen = 0xFF00FF00u;
constexpr ARGB kBlue = 0xFF0000FFu;
constexpr ARGB kWhite = 0xFFFFFFFFu;

// An 8192 x 8192 screen (256 MiB of 32-bit pixels) with two 1-pixel frames.
std::vector<std::uint8_t> HugeScreenTinyFrames() {
  GifBuilder gif(8192, 8192, {kRed, kGreen});
  gif.Image(0, 0, 1, 1, {0}).Image(1, 1, 1, 1, {1});
  return gif.Bytes();
}
constexpr std::uint64_t kHugeScreenBytes = std::uint64_t{8192} * 8192 * 4;

// `count` full-screen frames of one colour each.
std::vector<std::uint8_t> FullScreenFrames(std::uint16_t side, std::uint32_t count) {
  GifBuilder gif(side, side, {kRed, kGreen, kBlue, kWhite});
  for (std::uint32_t i = 0; i < count; ++i) gif.UniformImage(0, 0, side, side, static_cast<std::uint8_t>(i % 4));
  return gif.Bytes();
}

class GifHostileTest : public GdiplusTest {
 protected:
  void TearDown() override {
    SetDecodeMemoryBudget(0);
    GdiplusTest::TearDown();
  }
  std::filesystem::path Write(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("hostile" + std::to_string(files_++) + ".gif");
    WriteFile(path, bytes);
    return path;
  }
  // Loads `path` and selects each of `frames` in turn; the first status
  // that is not Ok, else Ok.
  static GpStatus LoadAndSelect(const std::filesystem::path& path, std::vector<UINT32> frames) {
    GpImage* image = nullptr;
    GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    for (UINT32 frame : frames) {
      if (status == Ok) status = GdipImageSelectActiveFrame(image, &FrameDimensionTime, frame);
    }
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }
  static GpStatus Decode(const std::vector<std::uint8_t>& bytes, gdiplus::DecodedImage& out) {
    return gdiplus::DecodeGif(std::make_shared<const std::vector<std::uint8_t>>(bytes), {}, out);
  }

 private:
  int files_ = 0;
};

TEST_F(GifHostileTest, AHugeScreenCostsItsPixelsOnceWhenLoadingAndStepping) {
  const auto path = Write(HugeScreenTinyFrames());
  // Loading needs the screen once, not a canvas and a copy of it; stepping
  // needs the frame shown until then as well.
  SetDecodeMemoryBudget(kHugeScreenBytes + (32u << 20));
  EXPECT_EQ(LoadAndSelect(path, {}), Ok);
  EXPECT_EQ(LoadAndSelect(path, {1}), OutOfMemory) << "the frame shown and the new one";
  SetDecodeMemoryBudget(2 * kHugeScreenBytes + (32u << 20));
  const ChildRun run = RunInChild([&] { return LoadAndSelect(path, {1, 0, 1}); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  if (kResidentSizesMeaningful) {
    EXPECT_LT(run.peakBytes, PeakAllowance(kHugeScreenBytes));
  }

  SetDecodeMemoryBudget(kHugeScreenBytes / 2);
  EXPECT_EQ(LoadAndSelect(path, {}), OutOfMemory) << "refused before the screen is allocated";
}

TEST_F(GifHostileTest, FramesAreDecodedOnlyWhenDrawn) {
  const auto bytes = FullScreenFrames(2048, 40);
  EXPECT_LT(bytes.size(), 1u << 20);
  const auto path = Write(bytes);
  // Forty decoded frames would hold 160 MiB of indices.
  const ChildRun run = RunInChild([&] { return LoadAndSelect(path, {}); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  constexpr std::uint64_t kScreenBytes = std::uint64_t{2048} * 2048 * 4;
  if (kResidentSizesMeaningful) {
    EXPECT_LT(run.peakBytes, PeakAllowance(kScreenBytes));
  }

  // Each frame, drawn when selected, is the one the file holds.
  ImageGuard image(LoadImage(Write(FullScreenFrames(300, 40))));
  ASSERT_NE(image.get(), nullptr);
  UINT32 frames = 0;
  ASSERT_EQ(GdipImageGetFrameCount(image.get(), &FrameDimensionTime, &frames), Ok);
  EXPECT_EQ(frames, 40u);
  const ARGB colours[] = {kRed, kGreen, kBlue, kWhite};
  for (UINT32 frame : {0u, 1u, 2u, 39u, 17u}) {
    ASSERT_EQ(GdipImageSelectActiveFrame(image.get(), &FrameDimensionTime, frame), Ok);
    const std::vector<ARGB> pixels = ReadArgbPixels(image.get());
    ASSERT_EQ(pixels.size(), 300u * 300u);
    EXPECT_EQ(pixels.front(), colours[frame % 4]) << frame;
    EXPECT_EQ(pixels.back(), colours[frame % 4]) << frame;
  }
}

TEST_F(GifHostileTest, AFrameWhoseDataCannotHoldItIsRefusedBeforeDecoding) {
  // The second frame claims 4096 x 4096 pixels from a dozen bytes; the
  // first is sound, so only reading the structure can tell.
  GifBuilder gif(4096, 4096, {kRed, kGreen});
  gif.UniformImage(0, 0, 4096, 4096, 1).Image(0, 0, 4096, 4096, {0, 1, 0});
  gdiplus::DecodedImage decoded;
  EXPECT_EQ(Decode(gif.Bytes(), decoded), InvalidParameter);
  // The same claim off the screen is never decoded, so it is no fault.
  GifBuilder offscreen(16, 16, {kRed, kGreen});
  offscreen.Image(0, 0, 16, 16, std::vector<std::uint8_t>(256, 1)).Image(100, 100, 4096, 4096, {0, 1, 0});
  ASSERT_EQ(Decode(offscreen.Bytes(), decoded), Ok);
  EXPECT_EQ(decoded.frames->FrameCount(), 2u);
}

TEST_F(GifHostileTest, DamageInALaterFrameShowsWhenThatFrameIsDrawn) {
  GifBuilder gif(4, 1, {kRed, kGreen, kBlue, kWhite});
  gif.Image(0, 0, 4, 1, {0, 1, 2, 3}).Image(0, 0, 4, 1, {1, 1, 1, 1});
  const std::vector<std::uint8_t> two = gif.Bytes();
  gif.Image(0, 0, 4, 1, {2, 2, 2, 2});
  const std::vector<std::uint8_t> three = gif.Bytes();

  // Cut inside the second frame's data: the file is refused, as a file cut
  // inside any frame, though that frame's pixels are not decoded.
  gdiplus::DecodedImage cut;
  EXPECT_EQ(Decode({two.begin(), two.end() - 4}, cut), InvalidParameter);
  // Cut after the second frame, without the trailer: both frames stay.
  ASSERT_EQ(Decode({two.begin(), two.end() - 1}, cut), Ok);
  ASSERT_NE(cut.frames, nullptr);
  EXPECT_EQ(cut.frames->FrameCount(), 2u);

  // The second frame's codes are damaged but its blocks are whole: it
  // fails when drawn, and the frames around it still draw.
  std::vector<std::uint8_t> damaged = three;
  const std::size_t secondCodes = two.size() - 1 - 6;  // inside the second frame's only block
  damaged[secondCodes] = 0xFF;
  damaged[secondCodes + 1] = 0xFF;
  gdiplus::DecodedImage image;
  ASSERT_EQ(Decode(damaged, image), Ok);
  ASSERT_NE(image.frames, nullptr);
  gdiplus::Frame frame;
  gdiplus::PropertyStore properties;
  EXPECT_EQ(image.frames->DecodeFrame(1, frame, properties), InvalidParameter);
  EXPECT_EQ(image.frames->DecodeFrame(1, frame, properties), InvalidParameter) << "a retry starts over";
  ASSERT_EQ(image.frames->DecodeFrame(0, frame, properties), Ok);
  EXPECT_EQ(reinterpret_cast<const ARGB*>(frame.pixels.Row(0))[3], kWhite);
}

}  // namespace
}  // namespace pixavue::platform::test
