#include <pixavue/platform/ole/variant_conversion.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pixavue::platform {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(Variant, EqualityNeedsTheSameTypeAndTheSameBits) {
  EXPECT_EQ(Variant::FromInt16(5), Variant::FromInt16(5));
  EXPECT_NE(Variant::FromInt16(5), Variant::FromInt32(5));
  EXPECT_NE(Variant::FromBool(true), Variant::FromInt16(-1));
  EXPECT_EQ(Variant::FromBool(true).Type(), VT_BOOL);
  EXPECT_EQ(std::get<VariantBool>(Variant::FromBool(true).Get()).value, VARIANT_TRUE);
  EXPECT_NE(Variant::FromDouble(0.0), Variant::FromDouble(-0.0));
  EXPECT_EQ(Variant::FromDouble(kNaN), Variant::FromDouble(kNaN));
  EXPECT_NE(Variant::FromFloat(1.0f), Variant::FromDouble(1.0));
  EXPECT_EQ(Variant(), Variant());
  EXPECT_NE(Variant(), Variant::FromString(""));
}

TEST(VariantConversion, IntegersConvertOnlyWhenTheValueFits) {
  EXPECT_EQ(VariantToInt16(Variant::FromInt32(-32768)), std::int16_t{-32768});
  EXPECT_EQ(VariantToInt16(Variant::FromInt32(32768)), std::nullopt);
  EXPECT_EQ(VariantToInt32(Variant::FromDouble(3.0)), 3);
  EXPECT_EQ(VariantToInt32(Variant::FromDouble(2.5)), std::nullopt);
  EXPECT_EQ(VariantToInt32(Variant::FromDouble(2147483648.0)), std::nullopt);
  EXPECT_EQ(VariantToInt32(Variant::FromDouble(-2147483648.0)), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(VariantToInt32(Variant::FromDouble(kNaN)), std::nullopt);
  EXPECT_EQ(VariantToInt32(Variant::FromDouble(kInfinity)), std::nullopt);
  EXPECT_EQ(VariantToInt16(Variant::FromFloat(-7.0f)), std::int16_t{-7});
}

TEST(VariantConversion, FloatsConvertOnlyWhenExact) {
  EXPECT_EQ(VariantToFloat(Variant::FromDouble(0.5)), 0.5f);
  EXPECT_EQ(VariantToFloat(Variant::FromDouble(0.1)), std::nullopt) << "0.1 has no exact float";
  EXPECT_EQ(VariantToFloat(Variant::FromDouble(1e39)), std::nullopt);
  EXPECT_EQ(VariantToFloat(Variant::FromDouble(-kInfinity)), -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(*VariantToFloat(Variant::FromDouble(kNaN))));
  EXPECT_EQ(VariantToFloat(Variant::FromInt32(16777216)), 16777216.0f);
  EXPECT_EQ(VariantToFloat(Variant::FromInt32(16777217)), std::nullopt);
  EXPECT_EQ(VariantToDouble(Variant::FromFloat(0.1f)), static_cast<double>(0.1f));
  EXPECT_EQ(VariantToDouble(Variant::FromInt32(-9)), -9.0);
}

TEST(VariantConversion, BooleansAreMinusOneAndZeroAndNumbersAreTrueWhenNotZero) {
  EXPECT_EQ(VariantToInt16(Variant::FromBool(true)), std::int16_t{-1});
  EXPECT_EQ(VariantToInt32(Variant::FromBool(false)), 0);
  EXPECT_EQ(VariantToDouble(Variant::FromBool(true)), -1.0);
  EXPECT_EQ(VariantToBool(Variant::FromInt32(2)), true);
  EXPECT_EQ(VariantToBool(Variant::FromDouble(-0.0)), false);
  EXPECT_EQ(VariantToBool(Variant::FromDouble(0.25)), true);
  EXPECT_EQ(VariantToBool(Variant::FromDouble(kNaN)), std::nullopt);
}

TEST(VariantConversion, StringsConvertOnlyWhenTheWholeStringIsANumber) {
  EXPECT_EQ(VariantToInt32(Variant::FromString("12")), 12);
  EXPECT_EQ(VariantToInt32(Variant::FromString("-1e3")), -1000);
  EXPECT_EQ(VariantToInt32(Variant::FromString("12.5")), std::nullopt);
  for (const char* notANumber : {"", " 12", "12 ", "+12", "12abc", "0x10", "twelve"}) {
    EXPECT_EQ(VariantToInt32(Variant::FromString(notANumber)), std::nullopt) << notANumber;
    EXPECT_EQ(VariantToDouble(Variant::FromString(notANumber)), std::nullopt) << notANumber;
  }
  EXPECT_EQ(VariantToInt16(Variant::FromString("40000")), std::nullopt);
  EXPECT_EQ(VariantToFloat(Variant::FromString("0.1")), 0.1f) << "text rounds to float directly";
  EXPECT_EQ(VariantToFloat(Variant::FromString("1e39")), std::nullopt);
  EXPECT_EQ(VariantToDouble(Variant::FromString("0.1")), 0.1);
  EXPECT_EQ(VariantToBool(Variant::FromString("FALSE")), false);
  EXPECT_EQ(VariantToBool(Variant::FromString("True")), true);
  EXPECT_EQ(VariantToBool(Variant::FromString("0")), false);
  EXPECT_EQ(VariantToBool(Variant::FromString("yes")), std::nullopt);
}

TEST(VariantConversion, EveryValueHasAStringAndItReadsBack) {
  EXPECT_EQ(VariantToString(Variant::FromString("text")), "text");
  EXPECT_EQ(VariantToString(Variant::FromBool(true)), "True");
  EXPECT_EQ(VariantToString(Variant::FromInt16(-5)), "-5");
  EXPECT_EQ(VariantToString(Variant::FromDouble(0.1)), "0.1");
  EXPECT_EQ(VariantToString(Variant::FromFloat(0.1f)), "0.1");
  EXPECT_EQ(VariantToString(Variant()), std::nullopt);
  const double awkward = 1.0 / 3.0;
  EXPECT_EQ(VariantToDouble(Variant::FromString(*VariantToString(Variant::FromDouble(awkward)))), awkward);
  EXPECT_EQ(VariantToBool(Variant::FromString(*VariantToString(Variant::FromBool(false)))), false);
}

}  // namespace
}  // namespace pixavue::platform
