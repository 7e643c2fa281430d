// LockBits and UnlockBits through the flat interface: conversions in both
// directions, caller buffers, direct views and the lock's state rules.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

constexpr UINT32 kRead = ImageLockModeRead;
constexpr UINT32 kWrite = ImageLockModeWrite;
constexpr UINT32 kUser = ImageLockModeUserInputBuf;

class PixelsLockBits : public GdiplusTest {};

// Colours that survive every 8-bit-per-channel format exactly.
const std::vector<ARGB> kOpaquePixels = {0xFF000000, 0xFFFFFFFF, 0xFF336699, 0xFFCC0033, 0xFF00FF00, 0xFF99CCFF};

TEST_F(PixelsLockBits, CallerBufferRoundTripsThroughEveryExactFormat) {
  for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppRGB, PixelFormat32bppARGB, PixelFormat32bppPARGB,
                             PixelFormat48bppRGB, PixelFormat64bppARGB, PixelFormat64bppPARGB}) {
    ImageGuard bitmap(MakeBitmap(3, 2, format, kOpaquePixels));
    ASSERT_NE(bitmap.get(), nullptr);
    EXPECT_EQ(ReadArgbPixels(bitmap.get()), kOpaquePixels) << std::hex << format;
  }
}

}  // namespace
}  // namespace pixavue::platform::test
