// Property items through the flat interface: sizes, blocks, order,
// replacement and removal; frame queries of single-frame images.

#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

class GdiplusProperties : public GdiplusTest {
 protected:
  void SetUp() override {
    GdiplusTest::SetUp();
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat24bppRGB, nullptr, &bitmap_), Ok);
  }
  void TearDown() override {
    GdipDisposeImage(bitmap_);
    GdiplusTest::TearDown();
  }

  GpStatus Set(PROPID id, WORD type, std::vector<std::uint8_t> value) {
    PropertyItem item{id, static_cast<GDIP_ULONG>(value.size()), type, value.data()};
    return GdipSetPropertyItem(bitmap_, &item);
  }

  GpBitmap* bitmap_ = nullptr;
};

TEST_F(GdiplusProperties, SetGetReplaceRemove) {
  UINT32 count = 99;
  ASSERT_EQ(GdipGetPropertyCount(bitmap_, &count), Ok);
  EXPECT_EQ(count, 0u);
  UINT32 size = 0;
  EXPECT_EQ(GdipGetPropertyItemSize(bitmap_, PropertyTagEquipMake, &size), PropertyNotFound);

  ASSERT_EQ(Set(PropertyTagEquipMake, PropertyTagTypeASCII, {'A', 'c', 'm', 'e', 0}), Ok);
  const std::uint16_t loop = 3;
  ASSERT_EQ(Set(PropertyTagLoopCount, PropertyTagTypeShort, {static_cast<std::uint8_t>(loop), 0}), Ok);
  ASSERT_EQ(GdipGetPropertyCount(bitmap_, &count), Ok);
  EXPECT_EQ(count, 2u);

  ASSERT_EQ(GdipGetPropertyItemSize(bitmap_, PropertyTagEquipMake, &size), Ok);
  EXPECT_EQ(size, sizeof(PropertyItem) + 5);
  std::vector<std::uint8_t> block(size);
  auto* item = reinterpret_cast<PropertyItem*>(block.data());
  EXPECT_EQ(GdipGetPropertyItem(bitmap_, PropertyTagEquipMake, size - 1, item), InvalidParameter);
  ASSERT_EQ(GdipGetPropertyItem(bitmap_, PropertyTagEquipMake, size, item), Ok);
  EXPECT_EQ(item->type, PropertyTagTypeASCII);
  EXPECT_EQ(item->length, 5u);
  EXPECT_STREQ(static_cast<const char*>(item->value), "Acme");

  // Setting an existing id replaces it in place.
  ASSERT_EQ(Set(PropertyTagEquipMake, PropertyTagTypeASCII, {'Z', 0}), Ok);
  PROPID ids[2] = {};
  EXPECT_EQ(GdipGetPropertyIdList(bitmap_, 1, ids), InvalidParameter);
  ASSERT_EQ(GdipGetPropertyIdList(bitmap_, 2, ids), Ok);
  EXPECT_EQ(ids[0], PropertyTagEquipMake);
  EXPECT_EQ(ids[1], PropertyTagLoopCount);

  EXPECT_EQ(GdipRemovePropertyItem(bitmap_, PropertyTagEquipMake), Ok);
  EXPECT_EQ(GdipRemovePropertyItem(bitmap_, PropertyTagEquipMake), PropertyNotFound);
  ASSERT_EQ(GdipGetPropertyCount(bitmap_, &count), Ok);
  EXPECT_EQ(count, 1u);
}

TEST_F(GdiplusProperties, AllItemsInOneBlock) {
  ASSERT_EQ(Set(PropertyTagArtist, PropertyTagTypeASCII, {'x', 0}), Ok);
  ASSERT_EQ(Set(PropertyTagFrameDelay, PropertyTagTypeLong, {10, 0, 0, 0, 20, 0, 0, 0}), Ok);
  ASSERT_EQ(Set(0x9999, PropertyTagTypeUndefined, {}), Ok);
  UINT32 total = 0;
  UINT32 count = 0;
  ASSERT_EQ(GdipGetPropertySize(bitmap_, &total, &count), Ok);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(total, 3 * sizeof(PropertyItem) + 2 + 8);
  std::vector<std::uint8_t> block(total);
  auto* items = reinterpret_cast<PropertyItem*>(block.data());
  EXPECT_EQ(GdipGetAllPropertyItems(bitmap_, total + 1, count, items), InvalidParameter);
  EXPECT_EQ(GdipGetAllPropertyItems(bitmap_, total, count - 1, items), InvalidParameter);
  ASSERT_EQ(GdipGetAllPropertyItems(bitmap_, total, count, items), Ok);
  EXPECT_EQ(items[1].id, PropertyTagFrameDelay);
  std::uint32_t delays[2] = {};
  std::memcpy(delays, items[1].value, sizeof delays);
  EXPECT_EQ(delays[0], 10u);
  EXPECT_EQ(delays[1], 20u);
  // Values live inside the block.
  const auto* value = static_cast<const std::uint8_t*>(items[1].value);
  EXPECT_GE(value, block.data() + 3 * sizeof(PropertyItem));
  EXPECT_LE(value + 8, block.data() + block.size());
  EXPECT_EQ(items[2].length, 0u);
}

TEST_F(GdiplusProperties, SetRefusesAMissingValue) {
  PropertyItem item{PropertyTagArtist, 4, PropertyTagTypeASCII, nullptr};
  EXPECT_EQ(GdipSetPropertyItem(bitmap_, &item), InvalidParameter);
  EXPECT_EQ(GdipSetPropertyItem(bitmap_, nullptr), InvalidParameter);
}

TEST_F(GdiplusProperties, SingleFrameImagesHaveOnePage) {
  UINT32 count = 0;
  ASSERT_EQ(GdipImageGetFrameDimensionsCount(bitmap_, &count), Ok);
  EXPECT_EQ(count, 1u);
  GUID dimension{};
  ASSERT_EQ(GdipImageGetFrameDimensionsList(bitmap_, &dimension, 1), Ok);
  EXPECT_EQ(dimension, FrameDimensionPage);
  ASSERT_EQ(GdipImageGetFrameCount(bitmap_, &FrameDimensionPage, &count), Ok);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(GdipImageGetFrameCount(bitmap_, &FrameDimensionTime, &count), InvalidParameter);
  EXPECT_EQ(GdipImageSelectActiveFrame(bitmap_, &FrameDimensionPage, 0), Ok);
  EXPECT_EQ(GdipImageSelectActiveFrame(bitmap_, &FrameDimensionPage, 1), InvalidParameter);
}

}  // namespace
}  // namespace pixavue::platform::test
