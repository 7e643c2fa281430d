// EXIF block writing: what goes into which directory, the block layout in
// both byte orders, and the round trip through the reader.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "exif.h"
#include "exif_test_blocks.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::ByteReader;
using gdiplus::PropertyStore;
using gdiplus::ReadExifProperties;
using gdiplus::StoredProperty;
using gdiplus::WriteExifBlock;

constexpr PROPID kPointerIds[] = {PropertyTagExifIFD, PropertyTagGpsIFD, PropertyTagExifInterop};

bool IsPointer(PROPID id) {
  return id == PropertyTagExifIFD || id == PropertyTagGpsIFD || id == PropertyTagExifInterop;
}

// Items that belong in each directory, of every property type, with values
// both inline (up to 4 bytes) and past the entries, of odd and zero length.
PropertyStore ExifAbleItems() {
  PropertyStore store;
  store.SetAscii(PropertyTagImageDescription, "A long description of the picture");
  store.SetAscii(PropertyTagEquipMake, "Ab");
  store.SetShorts(PropertyTagOrientation, std::vector<std::uint16_t>{6});
  store.SetRationals(PropertyTagXResolution, std::vector<std::uint32_t>{300, 1});
  store.SetShorts(PropertyTagResolutionUnit, std::vector<std::uint16_t>{2});
  store.SetShorts(PropertyTagYCbCrPositioning, std::vector<std::uint16_t>{1});
  store.SetAscii(PropertyTagCopyright, "(c) Someone");
  store.Set(0x9C9B, PropertyTagTypeByte, std::vector<std::uint8_t>{'T', 0, 'i', 0, 0, 0});
  store.Set(0xC000, PropertyTagTypeSLONG, Native<std::int32_t>({-1, 5}));
  store.SetShorts(0x4746, std::vector<std::uint16_t>{4});

  store.SetRationals(0x829A, std::vector<std::uint32_t>{1, 250});
  store.SetRationals(0x829D, std::vector<std::uint32_t>{28, 10});
  store.SetShorts(0x8827, std::vector<std::uint16_t>{100, 200});
  store.SetShorts(0x8830, std::vector<std::uint16_t>{2});
  store.Set(PropertyTagExifVer, PropertyTagTypeUndefined, std::vector<std::uint8_t>{'0', '2', '3', '2'});
  store.SetAscii(PropertyTagExifDTOrig, "2024:01:02 03:04:05");
  store.Set(0x9201, PropertyTagTypeSRational, Native<std::int32_t>({-6, 1}));
  store.Set(0x927C, PropertyTagTypeUndefined, std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9});
  store.Set(PropertyTagExifUserComment, PropertyTagTypeUndefined, std::vector<std::uint8_t>{});
  store.SetLongs(PropertyTagExifPixXDim, std::vector<std::uint32_t>{4000});
  store.SetRationals(0xA500, std::vector<std::uint32_t>{22, 10});

  store.Set(PropertyTagGpsVer, PropertyTagTypeByte, std::vector<std::uint8_t>{2, 3, 0, 0});
  store.SetAscii(0x0001, "N");
  store.SetRationals(0x0002, std::vector<std::uint32_t>{48, 1, 51, 1, 2400, 100});
  store.Set(0x0005, PropertyTagTypeByte, std::vector<std::uint8_t>{1});
  store.SetAscii(0x001D, "2024:01:02");

  store.SetAscii(0x1000, "Exif JPEG Ver. 2.2");
  store.SetLongs(0x1001, std::vector<std::uint32_t>{640});
  return store;
}

void ExpectSameItems(const PropertyStore& expected, const PropertyStore& actual) {
  for (const StoredProperty& item : expected.items()) {
    const StoredProperty* back = actual.Find(item.id);
    ASSERT_NE(back, nullptr) << "id 0x" << std::hex << item.id;
    EXPECT_EQ(back->type, item.type) << "id 0x" << std::hex << item.id;
    EXPECT_EQ(back->value, item.value) << "id 0x" << std::hex << item.id;
  }
}

std::size_t CountNonPointers(const PropertyStore& store) {
  std::size_t count = 0;
  for (const auto& item : store.items()) count += IsPointer(item.id) ? 0 : 1;
  return count;
}

class ExifWriterOrders : public ::testing::TestWithParam<ByteOrder> {};

TEST_P(ExifWriterOrders, RoundTripKeepsIdsTypesAndBytes) {
  const PropertyStore original = ExifAbleItems();
  const auto block = WriteExifBlock(original, GetParam());
  PropertyStore back;
  ASSERT_EQ(ReadExifProperties(block, back), Ok);
  ExpectSameItems(original, back);
  EXPECT_EQ(CountNonPointers(back), original.size());
  for (PROPID pointer : kPointerIds) EXPECT_NE(back.Find(pointer), nullptr);
}

TEST_P(ExifWriterOrders, InteropIndexAndVersionGoToTheInteropDirectory) {
  PropertyStore original;
  original.SetAscii(0x0001, "R98");
  original.Set(0x0002, PropertyTagTypeUndefined, std::vector<std::uint8_t>{'0', '1', '0', '0'});
  const auto block = WriteExifBlock(original, GetParam());
  PropertyStore back;
  ASSERT_EQ(ReadExifProperties(block, back), Ok);
  ExpectSameItems(original, back);
  EXPECT_NE(back.Find(PropertyTagExifIFD), nullptr);
  EXPECT_NE(back.Find(PropertyTagExifInterop), nullptr);
  EXPECT_EQ(back.Find(PropertyTagGpsIFD), nullptr);
  EXPECT_EQ(back.size(), 4u);
}

TEST_P(ExifWriterOrders, LayoutIsSortedAlignedAndInTheGivenOrder) {
  PropertyStore store;
  store.SetAscii(PropertyTagEquipModel, "Model X");  // 8 bytes: past the entries
  store.Set(PropertyTagEquipMake, PropertyTagTypeASCII, std::vector<std::uint8_t>{'O', 'd', 'd', 'e', 'r', 0, 0});
  store.SetShorts(PropertyTagOrientation, std::vector<std::uint16_t>{0x0102});
  store.SetRationals(0x829A, std::vector<std::uint32_t>{1, 0x01020304});
  const auto block = WriteExifBlock(store, GetParam());
  const ByteReader reader(block, GetParam());
  const bool little = GetParam() == ByteOrder::Little;

  ASSERT_GE(block.size(), 8u);
  EXPECT_EQ(block[0], little ? 'I' : 'M');
  EXPECT_EQ(block[1], block[0]);
  EXPECT_EQ(reader.U16At(2), 42);
  ASSERT_EQ(reader.U32At(4), 8u);
  ASSERT_EQ(reader.U16At(8), 4u);  // make, model, orientation, EXIF pointer
  std::vector<std::uint16_t> tags;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t entry = 10 + 12 * i;
    tags.push_back(*reader.U16At(entry));
    const std::uint32_t count = *reader.U32At(entry + 4);
    if (*reader.U16At(entry + 2) == PropertyTagTypeASCII && count > 4) {
      EXPECT_EQ(*reader.U32At(entry + 8) % 2, 0u) << "value offsets are even";
    }
  }
  EXPECT_EQ(tags, (std::vector<std::uint16_t>{0x010F, 0x0110, 0x0112, 0x8769}));
  EXPECT_EQ(reader.U32At(10 + 48), 0u);  // no next directory
  // The orientation SHORT sits in its entry, in the block's byte order.
  EXPECT_EQ(block[10 + 24 + 8], little ? 0x02 : 0x01);
  EXPECT_EQ(block[10 + 24 + 9], little ? 0x01 : 0x02);
  // The EXIF directory starts on an even offset and holds the rational.
  const std::uint32_t exif = *reader.U32At(10 + 36 + 8);
  EXPECT_EQ(exif % 2, 0u);
  ASSERT_EQ(reader.U16At(exif), 1u);
  const std::uint32_t rational = *reader.U32At(exif + 2 + 8);
  EXPECT_EQ(reader.U32At(rational), 1u);
  EXPECT_EQ(reader.U32At(rational + 4), 0x01020304u);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, ExifWriterOrders, ::testing::Values(ByteOrder::Little, ByteOrder::Big),
                         [](const auto& order) { return order.param == ByteOrder::Little ? "Intel" : "Motorola"; });

class ExifWriterSelection : public ::testing::Test {};

TEST_F(ExifWriterSelection, ItemsThatDoNotBelongAreLeftOut) {
  PropertyStore store;
  store.SetLongs(PropertyTagJPEGQuality, std::vector<std::uint32_t>{90});
  store.Set(PropertyTagThumbnailData, PropertyTagTypeByte, std::vector<std::uint8_t>{0xFF, 0xD8});
  store.SetLongs(PropertyTagExifIFD, std::vector<std::uint32_t>{1234});
  store.Set(PropertyTagICCProfile, PropertyTagTypeUndefined, std::vector<std::uint8_t>(200, 1));
  store.SetLongs(PropertyTagStripOffsets, std::vector<std::uint32_t>{8});
  store.SetLongs(PropertyTagImageWidth, std::vector<std::uint32_t>{8});
  store.SetLongs(PropertyTagJPEGInterFormat, std::vector<std::uint32_t>{8});
  store.Set(0x02BC, PropertyTagTypeByte, std::vector<std::uint8_t>{'<', '?'});
  store.SetAscii(0x12345, "not a tag");
  store.Set(PropertyTagSoftwareUsed, PropertyTagTypeShort, std::vector<std::uint8_t>{1, 2, 3});  // half a SHORT
  EXPECT_TRUE(WriteExifBlock(store).empty());
  EXPECT_TRUE(WriteExifBlock(PropertyStore{}, ByteOrder::Big).empty());

  store.SetShorts(PropertyTagOrientation, std::vector<std::uint16_t>{3});
  PropertyStore back;
  ASSERT_EQ(ReadExifProperties(WriteExifBlock(store), back), Ok);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back.items()[0].id, PropertyTagOrientation);
}

TEST_F(ExifWriterSelection, UnknownTypesBecomeUndefinedBytes) {
  PropertyStore store;
  store.Set(0x9C9C, 8, std::vector<std::uint8_t>{1, 2, 3, 4});
  store.Set(0x9C9D, 0, std::vector<std::uint8_t>{5, 6, 7, 8, 9});
  PropertyStore back;
  ASSERT_EQ(ReadExifProperties(WriteExifBlock(store, ByteOrder::Big), back), Ok);
  const auto* first = back.Find(0x9C9C);
  const auto* second = back.Find(0x9C9D);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->type, PropertyTagTypeUndefined);
  EXPECT_EQ(first->value, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(second->type, PropertyTagTypeUndefined);
  EXPECT_EQ(second->value, (std::vector<std::uint8_t>{5, 6, 7, 8, 9}));
}

TEST_F(ExifWriterSelection, GpsAloneGetsOnlyTheGpsPointer) {
  PropertyStore store;
  store.Set(PropertyTagGpsVer, PropertyTagTypeByte, std::vector<std::uint8_t>{2, 2, 0, 0});
  PropertyStore back;
  ASSERT_EQ(ReadExifProperties(WriteExifBlock(store), back), Ok);
  EXPECT_NE(back.Find(PropertyTagGpsVer), nullptr);
  EXPECT_NE(back.Find(PropertyTagGpsIFD), nullptr);
  EXPECT_EQ(back.size(), 2u);
}

TEST_F(ExifWriterSelection, DirectoriesStayWithinWhatTheReaderTakes) {
  PropertyStore store;
  for (PROPID id = 0xB000; id < 0xB000 + 1200; ++id) store.SetShorts(id, std::vector<std::uint16_t>{1});
  store.SetRationals(0x829A, std::vector<std::uint32_t>{1, 2});
  PropertyStore back;
  ASSERT_EQ(ReadExifProperties(WriteExifBlock(store), back), Ok);
  EXPECT_NE(back.Find(0x829A), nullptr);
  EXPECT_NE(back.Find(PropertyTagExifIFD), nullptr);
  EXPECT_EQ(back.size(), 998u + 2u);  // 998 of IFD0 (room kept for two pointers), the EXIF pointer, the rational
}

}  // namespace
}  // namespace pixavue::platform::test
