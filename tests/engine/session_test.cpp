// The imaging session of the thread: counting controls, start-up and
// shut-down, the encoder table and the version strings.

#include <future>
#include <string>

#include <gtest/gtest.h>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "engine_test_support.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

bool ImagingSessionOpen() {
  GpBitmap* probe = nullptr;
  if (GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, &probe) != Ok) return false;
  GdipDisposeImage(probe);
  return true;
}

using SessionTest = EngineTest;

TEST_F(SessionTest, SecondControlOnlyCountsAndLastStopReleasesEverything) {
  const GDIP_ULONG_PTR token = Session().token;
  EXPECT_NE(token, 0u);  // no session was open: this thread started one
  ASSERT_TRUE(StartEngine());
  EXPECT_EQ(Session().users, 2);
  EXPECT_EQ(Session().token, token);
  MakeImage(2, 2);
  MakeImage(3, 3);

  StopEngine();  // the first control closes
  EXPECT_TRUE(Session().started);
  EXPECT_EQ(Images().Slots.size(), 2u);
  StopEngine();  // the last one
  EXPECT_FALSE(Session().started);
  EXPECT_EQ(Session().token, 0u);
  EXPECT_TRUE(Images().Slots.empty());
  EXPECT_FALSE(ImagingSessionOpen());

  // A session opened elsewhere gets a token of the thread's own beside it,
  // and is left open.
  GdiplusStartupInput input;
  GDIP_ULONG_PTR outside = 0;
  ASSERT_EQ(GdiplusStartup(&outside, &input, nullptr), Ok);
  ASSERT_TRUE(StartEngine());
  EXPECT_NE(Session().token, 0u);
  EXPECT_NE(Session().token, outside);
  StopEngine();
  EXPECT_EQ(Session().token, 0u);
  EXPECT_TRUE(ImagingSessionOpen());
  GdiplusShutdown(outside);
  EXPECT_FALSE(ImagingSessionOpen());
  ASSERT_TRUE(StartEngine());  // for TearDown
}

// What the other thread of the test below saw.
struct OtherThread {
  bool started = false;
  QuorvexStatus query = QuorvexStatus::GenericError;
  std::int32_t width = 0;
  QuorvexStatus load = QuorvexStatus::GenericError;
  std::int32_t loadedWidth = 0;
  bool imagesLeft = true;
};

// Engine state is per thread: each thread keeps the library open until its
// own last control stops, whichever thread started it first.
TEST_F(SessionTest, AThreadsImagesOutliveTheShutDownOfAnotherThread) {
  ASSERT_EQ(Session().users, 1);  // this thread started the library first
  const ImageId mine = MakeImage(2, 2);
  const std::string png = (temp_dir() / "other.png").string();
  ASSERT_EQ(SaveAsPng(mine, png), QuorvexStatus::OK);

  std::promise<void> otherStarted;
  std::promise<void> thisStopped;
  std::future<OtherThread> other =
      std::async(std::launch::async, [&, stopped = thisStopped.get_future()] {
        OtherThread seen;
        seen.started = StartEngine();
        const ImageId image = MakeImage(3, 1);
        otherStarted.set_value();
        stopped.wait();
        seen.query = GetImageWidth(image, seen.width);
        ImageId loaded = kNoImage;
        seen.load = LoadFromFile(png, FileLoadOptions{}, loaded);
        GetImageWidth(loaded, seen.loadedWidth);
        StopEngine();
        seen.imagesLeft = !Images().Slots.empty();
        return seen;
      });
  otherStarted.get_future().wait();
  StopEngine();  // this thread's last control
  EXPECT_TRUE(Images().Slots.empty());
  thisStopped.set_value();
  const OtherThread seen = other.get();
  EXPECT_TRUE(seen.started);
  EXPECT_EQ(seen.query, QuorvexStatus::OK);
  EXPECT_EQ(seen.width, 3);
  EXPECT_EQ(seen.load, QuorvexStatus::OK);
  EXPECT_EQ(seen.loadedWidth, 2);
  EXPECT_FALSE(seen.imagesLeft);
  EXPECT_FALSE(ImagingSessionOpen());  // both threads gave their tokens back
  ASSERT_TRUE(StartEngine());  // for TearDown
}

TEST_F(SessionTest, EncoderTableLooksPatternsUpIgnoringCase) {
  const struct {
    const char* pattern;
    CLSID encoder;
  } cases[] = {{"*.png", CLSID_PngCodec}, {"*.PNG", CLSID_PngCodec}, {"*.TiF", CLSID_TiffCodec},
               {"*.jpeg", CLSID_JpegCodec}, {"*.bmp", CLSID_BmpCodec}};
  for (const auto& c : cases) {
    const std::int32_t index = EncoderIndex(c.pattern);
    ASSERT_TRUE(index >= 0 && static_cast<std::size_t>(index) < EncoderClsids().size()) << c.pattern;
    EXPECT_EQ(EncoderClsids()[static_cast<std::size_t>(index)], c.encoder) << c.pattern;
  }
  for (const char* absent : {"*.xyz", "png", ""}) EXPECT_EQ(EncoderIndex(absent), -1) << absent;
}

TEST_F(SessionTest, VersionsAndTheirLeadingNumbers) {
  EXPECT_EQ(Session().gdiplusVersion, "6.1.0.0");
  EXPECT_GE(GdiplusMajorVersion(), 6.0);
  EXPECT_EQ(Session().pluginVersion, "Unknown");  // not installed
  EXPECT_FALSE(PluginPresent());
  const struct {
    const char* text;
    double number;
  } cases[] = {{"6.1.7601.0", 6.1}, {"10.0.19041.1", 10.0}, {"Unknown", 0.0},
               {"Undefined", 0.0},  {" 3.25x", 3.25},      {"", 0.0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingVersionNumber(c.text), c.number) << c.text;
}

}  // namespace
}  // namespace pixavue::engine::test
