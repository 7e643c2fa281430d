#include <pixavue/support/rounding.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pixavue {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(308.5), 308);
  EXPECT_EQ(RoundHalfEven(358.5), 358);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven16(616.5), 616);
  EXPECT_EQ(RoundHalfEven16(617.5), 618);
}

TEST(Rounding, SaturatesAtTheTypeLimitsAndMapsNanToZero) {
  EXPECT_EQ(RoundHalfEven(1e12), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e12), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(RoundHalfEven16(40000.0), 32767);
  EXPECT_EQ(RoundHalfEven16(-40000.0), -32768);
  EXPECT_EQ(RoundHalfEven16(32766.5), 32766);
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_EQ(RoundHalfEven16(std::numeric_limits<double>::infinity()), 32767);
}

}  // namespace
}  // namespace pixavue
