#include <pixavue/platform/ole/memory_property_bag.h>
#include <pixavue/platform/ole/property_bag.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace pixavue::platform {
namespace {

std::vector<std::string> NamesOf(const MemoryPropertyBag& bag) {
  std::vector<std::string> names;
  EXPECT_EQ(bag.Names(names), S_OK);
  return names;
}

TEST(MemoryPropertyBag, KeepsFirstWriteOrderAndReplacesInPlace) {
  MemoryPropertyBag bag;
  ASSERT_EQ(bag.Write("Zoom", Variant::FromDouble(2.0)), S_OK);
  ASSERT_EQ(bag.Write("Alpha", Variant::FromInt32(1)), S_OK);
  ASSERT_EQ(bag.Write("Mid", Variant::FromBool(true)), S_OK);
  ASSERT_EQ(bag.Write("Zoom", Variant::FromString("replaced")), S_OK);
  EXPECT_EQ(NamesOf(bag), (std::vector<std::string>{"Zoom", "Alpha", "Mid"}));

  Variant value;
  ASSERT_EQ(bag.Read("Zoom", value), S_OK);
  EXPECT_EQ(value, Variant::FromString("replaced"));

  EXPECT_EQ(bag.Remove("Alpha"), S_OK);
  EXPECT_EQ(bag.Remove("Alpha"), S_FALSE);
  EXPECT_FALSE(bag.Contains("Alpha"));
  ASSERT_EQ(bag.Write("Alpha", Variant::FromInt32(2)), S_OK);
  EXPECT_EQ(NamesOf(bag), (std::vector<std::string>{"Zoom", "Mid", "Alpha"}));

  bag.Clear();
  EXPECT_EQ(bag.Count(), 0u);
  EXPECT_FALSE(bag.Contains("Zoom"));
}

TEST(MemoryPropertyBag, AbsentNamesReadAsInvalidArgumentWithAnEmptyValue) {
  MemoryPropertyBag bag;
  ASSERT_EQ(bag.Write("Zoom", Variant::FromDouble(2.0)), S_OK);
  Variant value = Variant::FromInt32(7);
  EXPECT_EQ(bag.Read("zoom", value), E_INVALIDARG) << "names compare with case";
  EXPECT_EQ(value.Type(), VT_EMPTY);
}

TEST(MemoryPropertyBag, RefusesWhatNoBagStores) {
  MemoryPropertyBag bag;
  EXPECT_EQ(bag.Write("", Variant::FromInt32(1)), E_INVALIDARG);
  EXPECT_EQ(bag.Write(std::string(kMaxPropertyNameBytes + 1, 'n'), Variant::FromInt32(1)), E_INVALIDARG);
  EXPECT_EQ(bag.Write("Empty", Variant()), E_INVALIDARG);
  EXPECT_EQ(bag.Write("Long", Variant::FromString(std::string(kMaxPropertyStringBytes + 1, 's'))), E_INVALIDARG);
  EXPECT_EQ(bag.Count(), 0u);
  EXPECT_EQ(bag.Write(std::string(kMaxPropertyNameBytes, 'n'), Variant::FromInt32(1)), S_OK);
  EXPECT_EQ(bag.Write("Long", Variant::FromString(std::string(kMaxPropertyStringBytes, 's'))), S_OK);
}

TEST(PropertyHelpers, DefaultsWhenAbsentOrNotConvertible) {
  MemoryPropertyBag bag;
  EXPECT_EQ(ReadProperty(bag, "Missing", true), true);
  EXPECT_EQ(ReadProperty(bag, "Missing", std::int16_t{-3}), -3);
  EXPECT_EQ(ReadProperty(bag, "Missing", std::string("dflt")), "dflt");

  ASSERT_EQ(bag.Write("Text", Variant::FromString("abc")), S_OK);
  ASSERT_EQ(bag.Write("Big", Variant::FromInt32(100000)), S_OK);
  ASSERT_EQ(bag.Write("Half", Variant::FromDouble(0.5)), S_OK);
  EXPECT_EQ(ReadProperty(bag, "Text", 9), 9);
  EXPECT_EQ(ReadProperty(bag, "Big", std::int16_t{4}), 4);
  EXPECT_EQ(ReadProperty(bag, "Big", 4), 100000);
  EXPECT_EQ(ReadProperty(bag, "Half", 1), 1);
  EXPECT_EQ(ReadProperty(bag, "Half", 1.0f), 0.5f);
  EXPECT_EQ(ReadProperty(bag, "Half", std::string()), "0.5");
}

TEST(PropertyHelpers, WriteStoresTheTypeOfTheValue) {
  MemoryPropertyBag bag;
  ASSERT_EQ(WriteProperty(bag, "B", true, false), S_OK);
  ASSERT_EQ(WriteProperty(bag, "S", std::int16_t{3}, std::int16_t{0}), S_OK);
  ASSERT_EQ(WriteProperty(bag, "L", 3, 0), S_OK);
  ASSERT_EQ(WriteProperty(bag, "F", 1.5f, 0.0f), S_OK);
  ASSERT_EQ(WriteProperty(bag, "D", 1.5, 0.0), S_OK);
  ASSERT_EQ(WriteProperty(bag, "T", std::string("x"), std::string()), S_OK);
  const std::pair<const char*, Variant> expected[] = {
      {"B", Variant::FromBool(true)}, {"S", Variant::FromInt16(3)},   {"L", Variant::FromInt32(3)},
      {"F", Variant::FromFloat(1.5f)}, {"D", Variant::FromDouble(1.5)}, {"T", Variant::FromString("x")},
  };
  for (const auto& [name, value] : expected) {
    Variant stored;
    ASSERT_EQ(bag.Read(name, stored), S_OK) << name;
    EXPECT_EQ(stored, value) << name;
  }
}

TEST(PropertyHelpers, WritingTheDefaultRemovesAnOlderValue) {
  MemoryPropertyBag bag;
  ASSERT_EQ(WriteProperty(bag, "Zoom", 2.5, 1.0), S_OK);
  ASSERT_EQ(WriteProperty(bag, "Zoom", 1.0, 1.0), S_OK);
  EXPECT_FALSE(bag.Contains("Zoom"));
  EXPECT_EQ(ReadProperty(bag, "Zoom", 1.0), 1.0);

  ASSERT_EQ(WriteProperty(bag, "Caption", std::string("old"), std::string()), S_OK);
  ASSERT_EQ(WriteProperty(bag, "Caption", std::string(), std::string()), S_OK);
  EXPECT_FALSE(bag.Contains("Caption"));
  EXPECT_EQ(bag.Count(), 0u);
}

TEST(PropertyHelpers, NegativeZeroAndNaNReadBackExactly) {
  MemoryPropertyBag bag;
  ASSERT_EQ(WriteProperty(bag, "Z", -0.0, 0.0), S_OK);
  const double zero = ReadProperty(bag, "Z", 1.0);
  EXPECT_TRUE(zero == 0.0 && std::signbit(zero));
  ASSERT_EQ(WriteProperty(bag, "N", std::nanf(""), 0.0f), S_OK);
  EXPECT_TRUE(std::isnan(ReadProperty(bag, "N", 0.0f)));
}

}  // namespace
}  // namespace pixavue::platform
