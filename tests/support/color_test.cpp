#include <pixavue/support/color.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace pixavue {
namespace {

TEST(ColorTest, OleColourBecomesOpaqueArgbWithRedAndBlueSwapped) {
  cColor color;
  color.FromRGBColor(0x000000FF);  // pure red as an OLE colour
  EXPECT_EQ(color.GetValue(), 0xFFFF0000u);

  color.SetFromCOLORREF(0x00123456);
  EXPECT_EQ(color.GetValue(), 0xFF563412u);
  EXPECT_EQ(color.GetAlpha(), 0xFF);
  EXPECT_EQ(color.GetRed(), 0x56);
  EXPECT_EQ(color.GetGreen(), 0x34);
  EXPECT_EQ(color.GetBlue(), 0x12);
}

TEST(ColorTest, TopByteOfOleColourIsDropped) {
  cColor plain;
  cColor flagged;
  plain.FromRGBColor(0x00ABCDEF);
  flagged.FromRGBColor(0x80ABCDEF);  // a system-colour reference is not resolved here
  EXPECT_EQ(flagged.GetValue(), plain.GetValue());
  flagged.FromRGBColor(0xFFABCDEF);
  EXPECT_EQ(flagged.GetValue(), plain.GetValue());
}

TEST(ColorTest, ComponentsAreMovedNotScaled) {
  cColor color;
  color.FromARGB(0x80, 0x01, 0xFE, 0x7F);
  EXPECT_EQ(color.GetValue(), 0x8001FE7Fu);
  EXPECT_EQ(color.GetAlpha(), 0x80);
  EXPECT_EQ(color.GetRed(), 0x01);
  EXPECT_EQ(color.GetGreen(), 0xFE);
  EXPECT_EQ(color.GetBlue(), 0x7F);

  color.FromRGB(10, 20, 30);
  EXPECT_EQ(color.GetValue(), 0xFF0A141Eu);
}

TEST(ColorTest, MakeArgbBuildsWithoutTouchingTheValue) {
  cColor color;
  color.SetValue(0x11223344);
  EXPECT_EQ(cColor::MakeARGB(0, 0, 0, 0), 0u);  // fully transparent black, the colour-key target
  EXPECT_EQ(cColor::MakeARGB(1, 2, 3, 4), 0x01020304u);
  EXPECT_EQ(color.GetValue(), 0x11223344u);
}

TEST(ColorTest, ValuesWithTheHighBitSetRoundTripUnchanged) {
  // Alpha 128 or more reads as a negative signed 32-bit number; the bits stay as they are.
  const std::int32_t signedArgb = -65536;  // 0xFFFF0000
  cColor color;
  color.FromARGBColor(static_cast<ARGB>(signedArgb));
  EXPECT_EQ(static_cast<std::int32_t>(color.GetValue()), signedArgb);
  color.SetValue(0x80000000u);
  EXPECT_EQ(color.GetValue(), 0x80000000u);
  EXPECT_EQ(color.GetAlpha(), 0x80);
}

TEST(ColorTest, NewColourIsZero) {
  const cColor color;
  EXPECT_EQ(color.GetValue(), 0u);
}

}  // namespace
}  // namespace pixavue
