#include <pixavue/platform/ole/property_bag_text.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace pixavue::platform {
namespace {

const std::string kHeader = std::string(kPropertyBagTextHeader) + "\n";

MemoryPropertyBag ReadBack(const MemoryPropertyBag& bag) {
  std::string text;
  EXPECT_EQ(FormatPropertyBagText(bag, text), S_OK);
  MemoryPropertyBag parsed;
  PropertyBagTextError error;
  EXPECT_EQ(ParsePropertyBagText(text, parsed, &error), S_OK) << "line " << error.line << ": " << error.reason;
  return parsed;
}

void ExpectSameContent(const MemoryPropertyBag& expected, const MemoryPropertyBag& actual) {
  ASSERT_EQ(actual.Count(), expected.Count());
  auto actualProperty = actual.Properties().begin();
  for (const Property& property : expected.Properties()) {
    EXPECT_EQ(actualProperty->name, property.name);
    EXPECT_EQ(actualProperty->value, property.value) << property.name;
    ++actualProperty;
  }
}

TEST(PropertyBagText, WritesTheDocumentedLineFormat) {
  MemoryPropertyBag bag;
  bag.Write("ScrollBars", Variant::FromBool(true));
  bag.Write("Zoom", Variant::FromDouble(1.5));
  bag.Write("Small", Variant::FromInt16(-3));
  bag.Write("Color", Variant::FromInt32(65536));
  bag.Write("Gamma", Variant::FromFloat(0.1f));
  bag.Write("Caption", Variant::FromString("say \"hi\"\\\n"));
  std::string text;
  ASSERT_EQ(FormatPropertyBagText(bag, text), S_OK);
  EXPECT_EQ(text, kHeader +
                      "ScrollBars = bool true\n"
                      "Zoom = r8 1.5\n"
                      "Small = i2 -3\n"
                      "Color = i4 65536\n"
                      "Gamma = r4 0.1\n"
                      "Caption = str \"say \\\"hi\\\"\\\\\\n\"\n");
}

TEST(PropertyBagText, ExtremeNumbersRoundTripExactly) {
  using F = std::numeric_limits<float>;
  using D = std::numeric_limits<double>;
  MemoryPropertyBag bag;
  const Variant values[] = {
      Variant::FromBool(false),        Variant::FromInt16(-32768),
      Variant::FromInt16(32767),       Variant::FromInt32(std::numeric_limits<std::int32_t>::min()),
      Variant::FromInt32(2147483647),  Variant::FromFloat(-0.0f),
      Variant::FromFloat(F::denorm_min()), Variant::FromFloat(F::min()),
      Variant::FromFloat(F::max()),    Variant::FromFloat(F::lowest()),
      Variant::FromFloat(F::infinity()), Variant::FromDouble(-0.0),
      Variant::FromDouble(D::denorm_min()), Variant::FromDouble(D::max()),
      Variant::FromDouble(-D::infinity()), Variant::FromDouble(0.1 + 0.2),
  };
  int index = 0;
  for (const Variant& value : values) ASSERT_EQ(bag.Write("v" + std::to_string(index++), value), S_OK);
  ExpectSameContent(bag, ReadBack(bag));

  MemoryPropertyBag withNaN;
  withNaN.Write("n", Variant::FromDouble(std::nan("")));
  EXPECT_TRUE(std::isnan(std::get<double>(ReadBack(withNaN).Properties().front().value.Get())));
}

TEST(PropertyBagText, RandomFloatsAndDoublesRoundTripBitForBit) {
  std::mt19937_64 random(20240611);
  MemoryPropertyBag bag;
  for (int i = 0; i < 2000; ++i) {
    const auto bits = random();
    const auto single = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    const auto twice = std::bit_cast<double>(bits);
    if (!std::isnan(single)) bag.Write("f" + std::to_string(i), Variant::FromFloat(single));
    if (!std::isnan(twice)) bag.Write("d" + std::to_string(i), Variant::FromDouble(twice));
  }
  ExpectSameContent(bag, ReadBack(bag));
}

TEST(PropertyBagText, StringsRoundTripByteForByte) {
  MemoryPropertyBag bag;
  const std::string values[] = {
      "",
      "plain",
      "quote \" backslash \\ end\\",
      "lines\nand\r\nreturns\ttabs",
      std::string("control \x01\x1F\x7F and nul ") + '\0' + "!",
      "UTF-8: Z\xC3\xBCrich \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",
      "not UTF-8: \xFF \xC3( \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82",
      "# not a comment = str \"x\"",
  };
  int index = 0;
  for (const std::string& value : values) bag.Write("s" + std::to_string(index++), Variant::FromString(value));
  ExpectSameContent(bag, ReadBack(bag));

  std::string text;
  ASSERT_EQ(FormatPropertyBagText(bag, text), S_OK);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + static_cast<long>(bag.Count()))
      << "every property stays on one line";
}

TEST(PropertyBagText, AcceptsCommentsBlankLinesBlanksAndWindowsLineEnds) {
  const std::string text = kHeader +
                           "# a comment\r\n"
                           "\r\n"
                           "   \t\n"
                           "  Zoom=r8 2   \r\n"
                           "Caption\t=\tstr\t\"a\tb\"  \n"
                           "Last = i4 -7";  // no final newline
  MemoryPropertyBag bag;
  ASSERT_EQ(ParsePropertyBagText(text, bag), S_OK);
  MemoryPropertyBag expected;
  expected.Write("Zoom", Variant::FromDouble(2));
  expected.Write("Caption", Variant::FromString("a\tb"));
  expected.Write("Last", Variant::FromInt32(-7));
  ExpectSameContent(expected, bag);
}

struct MalformedCase {
  std::string text;
  std::size_t line;
};

TEST(PropertyBagText, MalformedTextIsRefusedWithItsLineAndLeavesTheBagAlone) {
  const MalformedCase cases[] = {
      {"", 1},
      {"# pixavue property bag 2\n", 1},
      {"A = i4 1\n", 1},
      {kHeader + "A = i4\n", 2},
      {kHeader + "A = i4 \n", 2},
      {kHeader + "A i4 5\n", 2},
      {kHeader + "= i4 5\n", 2},
      {kHeader + "A = u8 5\n", 2},
      {kHeader + "A = str \"abc", 2},
      {kHeader + "A = str abc", 2},
      {kHeader + "A = str \"a\\qb\"", 2},
      {kHeader + "A = str \"a\\x4\"", 2},
      {kHeader + "A = str \"a\\", 2},
      {kHeader + "A = str \"x\" y", 2},
      {kHeader + "A = str \"\x01\"", 2},
      {kHeader + "A = str \"\xFF\"", 2},
      {kHeader + "A = i2 32768", 2},
      {kHeader + "A = i2 -32769", 2},
      {kHeader + "A = i4 2147483648", 2},
      {kHeader + "A = i4 +5", 2},
      {kHeader + "A = i4 5 6", 2},
      {kHeader + "A = i4 0x10", 2},
      {kHeader + "A = r4 1e39", 2},
      {kHeader + "A = r8 1e999", 2},
      {kHeader + "A = r8 1.5.2", 2},
      {kHeader + "A = bool yes", 2},
      {kHeader + "A = bool TRUE", 2},
      {kHeader + "bad name = i4 1", 2},
      {kHeader + "-x = i4 1", 2},
      {kHeader + "\n# c\nA = i4 5\nA = i4 6\n", 5},
      {kHeader + std::string(kMaxPropertyNameBytes + 1, 'n') + " = i4 1", 2},
      {kHeader + "A = str \"" + std::string(kMaxPropertyStringBytes + 1, 's') + "\"", 2},
  };
  for (const MalformedCase& malformed : cases) {
    MemoryPropertyBag bag;
    bag.Write("Kept", Variant::FromInt32(1));
    PropertyBagTextError error;
    EXPECT_EQ(ParsePropertyBagText(malformed.text, bag, &error), STG_E_DOCFILECORRUPT) << malformed.text;
    EXPECT_EQ(error.line, malformed.line) << malformed.text;
    EXPECT_FALSE(error.reason.empty());
    ASSERT_EQ(bag.Count(), 1u) << malformed.text;
    EXPECT_TRUE(bag.Contains("Kept"));
  }
}

TEST(PropertyBagText, SizeLimitsAreEnforcedBothWays) {
  MemoryPropertyBag bag;
  PropertyBagTextError error;
  const std::string huge = kHeader + std::string(kMaxPropertyBagTextBytes, '#');
  EXPECT_EQ(ParsePropertyBagText(huge, bag, &error), STG_E_DOCFILETOOLARGE);
  EXPECT_EQ(error.line, 0u);

  // Escaping makes control bytes four times longer: five such strings do
  // not fit, and writing them would produce a file nobody could load.
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(bag.Write("s" + std::to_string(i), Variant::FromString(std::string(kMaxPropertyStringBytes, '\x01'))),
              S_OK);
  }
  std::string text;
  EXPECT_EQ(FormatPropertyBagText(bag, text), STG_E_DOCFILETOOLARGE);
}

TEST(PropertyBagText, NamesThatCannotBeWrittenAreRefused) {
  EXPECT_TRUE(IsPropertyNameRepresentable("Rect_Border.Size-2"));
  for (const char* name : {"", "two words", "a=b", "#x", "-x", ".x", "caf\xC3\xA9", "tab\t"}) {
    EXPECT_FALSE(IsPropertyNameRepresentable(name)) << name;
  }
  MemoryPropertyBag bag;
  ASSERT_EQ(bag.Write("two words", Variant::FromInt32(1)), S_OK);
  std::string text;
  EXPECT_EQ(FormatPropertyBagText(bag, text), E_INVALIDARG);
}

}  // namespace
}  // namespace pixavue::platform
