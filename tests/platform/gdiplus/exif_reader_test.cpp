// EXIF and TIFF directory reading: every field type in both byte orders,
// the sub-directories and their ids, the thumbnail directory, and damaged
// blocks that must keep their sound entries.

#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "exif.h"
#include "exif_test_blocks.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::PropertyStore;
using gdiplus::ReadExifProperties;
using gdiplus::ReadTiffDirectoryProperties;
using Field = TiffBlockBuilder::Field;

constexpr WORD kFieldByte = 1, kFieldAscii = 2, kFieldShort = 3, kFieldLong = 4, kFieldRational = 5,
               kFieldSByte = 6, kFieldUndefined = 7, kFieldSShort = 8, kFieldSLong = 9, kFieldSRational = 10,
               kFieldFloat = 11, kFieldDouble = 12;

void ExpectItem(const PropertyStore& store, PROPID id, WORD type, const std::vector<std::uint8_t>& value) {
  const auto* item = store.Find(id);
  ASSERT_NE(item, nullptr) << "id 0x" << std::hex << id;
  EXPECT_EQ(item->type, type) << "id 0x" << std::hex << id;
  EXPECT_EQ(item->value, value) << "id 0x" << std::hex << id;
}

class ExifReaderOrders : public ::testing::TestWithParam<ByteOrder> {
 protected:
  TiffBlockBuilder block_{GetParam()};
};

TEST_P(ExifReaderOrders, EveryFieldTypeInlineAndOffsetInMachineOrder) {
  struct Case {
    std::uint16_t tag;
    std::uint16_t fieldType;
    std::uint32_t count;
    std::vector<std::uint8_t> fileValue;
    WORD expectedType;
    std::vector<std::uint8_t> expected;
  };
  const auto& b = block_;
  const std::vector<Case> cases = {
      {0x1001, kFieldByte, 3, {1, 2, 3}, PropertyTagTypeByte, {1, 2, 3}},
      {0x1002, kFieldByte, 6, {1, 2, 3, 4, 5, 6}, PropertyTagTypeByte, {1, 2, 3, 4, 5, 6}},
      {0x1003, kFieldAscii, 3, Text("Hi"), PropertyTagTypeASCII, Text("Hi")},
      {0x1004, kFieldAscii, 13, Text("Camera maker"), PropertyTagTypeASCII, Text("Camera maker")},
      {0x1005, kFieldShort, 2, b.Encode<std::uint16_t>({0x1234, 0xABCD}), PropertyTagTypeShort,
       Native<std::uint16_t>({0x1234, 0xABCD})},
      {0x1006, kFieldShort, 3, b.Encode<std::uint16_t>({1, 0x0203, 0xFFFE}), PropertyTagTypeShort,
       Native<std::uint16_t>({1, 0x0203, 0xFFFE})},
      {0x1007, kFieldLong, 1, b.Encode<std::uint32_t>({0x12345678}), PropertyTagTypeLong,
       Native<std::uint32_t>({0x12345678})},
      {0x1008, kFieldLong, 2, b.Encode<std::uint32_t>({0xA1B2C3D4, 7}), PropertyTagTypeLong,
       Native<std::uint32_t>({0xA1B2C3D4, 7})},
      {0x1009, kFieldRational, 2, b.Encode<std::uint32_t>({72, 1, 300, 7}), PropertyTagTypeRational,
       Native<std::uint32_t>({72, 1, 300, 7})},
      {0x100A, kFieldSByte, 2, {0xFF, 0x01}, PropertyTagTypeByte, {0xFF, 0x01}},
      {0x100B, kFieldUndefined, 4, {'0', '2', '3', '0'}, PropertyTagTypeUndefined, {'0', '2', '3', '0'}},
      {0x100C, kFieldUndefined, 7, {9, 8, 7, 6, 5, 4, 3}, PropertyTagTypeUndefined, {9, 8, 7, 6, 5, 4, 3}},
      {0x100D, kFieldSShort, 1, b.Encode<std::int16_t>({-2}), PropertyTagTypeShort, Native<std::int16_t>({-2})},
      {0x100E, kFieldSLong, 1, b.Encode<std::int32_t>({-5}), PropertyTagTypeSLONG, Native<std::int32_t>({-5})},
      {0x100F, kFieldSLong, 2, b.Encode<std::int32_t>({-70000, 3}), PropertyTagTypeSLONG,
       Native<std::int32_t>({-70000, 3})},
      {0x1010, kFieldSRational, 1, b.Encode<std::int32_t>({-1, 3}), PropertyTagTypeSRational,
       Native<std::int32_t>({-1, 3})},
      {0x1011, kFieldFloat, 1, b.Encode<float>({1.5F}), PropertyTagTypeUndefined, Native<float>({1.5F})},
      {0x1012, kFieldDouble, 2, b.Encode<double>({2.25, -1e300}), PropertyTagTypeUndefined,
       Native<double>({2.25, -1e300})},
  };
  std::vector<Field> fields;
  for (const Case& c : cases) fields.push_back({c.tag, c.fieldType, c.count, c.fileValue, std::nullopt});
  block_.SetFirstDirectory(block_.AddDirectory(fields));

  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  EXPECT_EQ(store.size(), cases.size());
  for (const Case& c : cases) ExpectItem(store, c.tag, c.expectedType, c.expected);
}

TEST_P(ExifReaderOrders, SubDirectoriesKeepTheirTagsAndPointers) {
  const auto& b = block_;
  const std::uint32_t interop = block_.AddDirectory({
      {0x0001, kFieldAscii, 4, Text("R98"), std::nullopt},
      {0x0002, kFieldUndefined, 4, {'0', '1', '0', '0'}, std::nullopt},
      {0x1001, kFieldShort, 1, b.Encode<std::uint16_t>({640}), std::nullopt},
  });
  const std::uint32_t gps = block_.AddDirectory({
      {0x0000, kFieldByte, 4, {2, 3, 0, 0}, std::nullopt},
      {0x0001, kFieldAscii, 2, Text("N"), std::nullopt},
      {0x0002, kFieldRational, 3, b.Encode<std::uint32_t>({48, 1, 51, 1, 2400, 100}), std::nullopt},
  });
  const std::uint32_t exif = block_.AddDirectory({
      {0x829A, kFieldRational, 1, b.Encode<std::uint32_t>({1, 250}), std::nullopt},
      {0x9000, kFieldUndefined, 4, {'0', '2', '3', '2'}, std::nullopt},
      {0xA005, kFieldLong, 1, {}, interop},
  });
  block_.SetFirstDirectory(block_.AddDirectory({
      {0x010F, kFieldAscii, 5, Text("Acme"), std::nullopt},
      {0x8769, kFieldLong, 1, {}, exif},
      {0x8825, kFieldLong, 1, {}, gps},
  }));

  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, PropertyTagEquipMake, PropertyTagTypeASCII, Text("Acme"));
  ExpectItem(store, PropertyTagExifIFD, PropertyTagTypeLong, Native<std::uint32_t>({exif}));
  ExpectItem(store, PropertyTagGpsIFD, PropertyTagTypeLong, Native<std::uint32_t>({gps}));
  ExpectItem(store, PropertyTagExifInterop, PropertyTagTypeLong, Native<std::uint32_t>({interop}));
  ExpectItem(store, 0x829A, PropertyTagTypeRational, Native<std::uint32_t>({1, 250}));
  ExpectItem(store, PropertyTagExifVer, PropertyTagTypeUndefined, {'0', '2', '3', '2'});
  ExpectItem(store, PropertyTagGpsVer, PropertyTagTypeByte, {2, 3, 0, 0});
  // GPS and Interop share ids 1 and 2: GPS wins.
  ExpectItem(store, 0x0001, PropertyTagTypeASCII, Text("N"));
  ExpectItem(store, 0x0002, PropertyTagTypeRational, Native<std::uint32_t>({48, 1, 51, 1, 2400, 100}));
  ExpectItem(store, 0x1001, PropertyTagTypeShort, Native<std::uint16_t>({640}));
  EXPECT_EQ(store.size(), 10u);
}

TEST_P(ExifReaderOrders, InteropWithoutGpsKeepsItsIds) {
  const std::uint32_t interop = block_.AddDirectory({
      {0x0001, kFieldAscii, 4, Text("R98"), std::nullopt},
      {0x0002, kFieldUndefined, 4, {'0', '1', '0', '0'}, std::nullopt},
  });
  const std::uint32_t exif = block_.AddDirectory({{0xA005, kFieldLong, 1, {}, interop}});
  block_.SetFirstDirectory(block_.AddDirectory({{0x8769, kFieldLong, 1, {}, exif}}));
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, 0x0001, PropertyTagTypeASCII, Text("R98"));
  ExpectItem(store, 0x0002, PropertyTagTypeUndefined, {'0', '1', '0', '0'});
}

TEST_P(ExifReaderOrders, ThumbnailDirectoryMapsToThumbnailIds) {
  const auto& b = block_;
  const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 1, 2, 3, 0xFF, 0xD9};
  const std::uint32_t jpegAt = block_.Append(jpeg);
  const std::uint32_t ifd1 = block_.AddDirectory({
      {0x0100, kFieldShort, 1, b.Encode<std::uint16_t>({160}), std::nullopt},
      {0x0101, kFieldLong, 1, b.Encode<std::uint32_t>({120}), std::nullopt},
      {0x0103, kFieldShort, 1, b.Encode<std::uint16_t>({6}), std::nullopt},
      {0x011A, kFieldRational, 1, b.Encode<std::uint32_t>({72, 1}), std::nullopt},
      {0x011B, kFieldRational, 1, b.Encode<std::uint32_t>({96, 1}), std::nullopt},
      {0x0128, kFieldShort, 1, b.Encode<std::uint16_t>({2}), std::nullopt},
      {0x0201, kFieldLong, 1, b.Encode<std::uint32_t>({jpegAt}), std::nullopt},
      {0x0202, kFieldLong, 1, b.Encode<std::uint32_t>({static_cast<std::uint32_t>(jpeg.size())}), std::nullopt},
      {0x9999, kFieldShort, 1, b.Encode<std::uint16_t>({1}), std::nullopt},
  });
  block_.SetFirstDirectory(block_.AddDirectory(
      {{0x0100, kFieldShort, 1, b.Encode<std::uint16_t>({4000}), std::nullopt}}, ifd1));

  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, PropertyTagImageWidth, PropertyTagTypeShort, Native<std::uint16_t>({4000}));
  ExpectItem(store, 0x5020, PropertyTagTypeShort, Native<std::uint16_t>({160}));
  ExpectItem(store, 0x5021, PropertyTagTypeLong, Native<std::uint32_t>({120}));
  ExpectItem(store, 0x5023, PropertyTagTypeShort, Native<std::uint16_t>({6}));
  ExpectItem(store, 0x502D, PropertyTagTypeRational, Native<std::uint32_t>({72, 1}));
  ExpectItem(store, 0x502E, PropertyTagTypeRational, Native<std::uint32_t>({96, 1}));
  ExpectItem(store, 0x5030, PropertyTagTypeShort, Native<std::uint16_t>({2}));
  ExpectItem(store, PropertyTagJPEGInterFormat, PropertyTagTypeLong, Native<std::uint32_t>({jpegAt}));
  ExpectItem(store, PropertyTagThumbnailData, PropertyTagTypeByte, jpeg);
  ExpectItem(store, PropertyTagThumbnailFormat, PropertyTagTypeLong, Native<std::uint32_t>({1}));
  EXPECT_EQ(store.Find(0x9999), nullptr);  // no thumbnail id for it
  EXPECT_EQ(store.size(), 11u);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, ExifReaderOrders, ::testing::Values(ByteOrder::Little, ByteOrder::Big),
                         [](const auto& order) { return order.param == ByteOrder::Little ? "Intel" : "Motorola"; });

class ExifReaderDamage : public ::testing::Test {
 protected:
  TiffBlockBuilder block_{ByteOrder::Little};
  const Field sound_{0x010F, kFieldAscii, 5, Text("Acme"), std::nullopt};
};

TEST_F(ExifReaderDamage, HeadersThatAreNotTiffAddNothing) {
  PropertyStore store;
  const std::vector<std::vector<std::uint8_t>> blocks = {
      {},
      {'I', 'I', 42, 0, 8, 0, 0},                          // truncated header
      {'I', 'M', 42, 0, 8, 0, 0, 0},                       // mixed order mark
      {'I', 'I', 41, 0, 8, 0, 0, 0},                       // wrong magic
      {'I', 'I', 42, 0, 200, 0, 0, 0},                     // first directory past the end
      {'I', 'I', 42, 0, 8, 0, 0, 0, 0},                    // entry count cut short
      {'I', 'I', 43, 0, 4, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0},  // BigTIFF with a wrong offset size
  };
  for (const auto& bytes : blocks) {
    EXPECT_EQ(ReadExifProperties(bytes, store), InvalidParameter) << bytes.size();
    EXPECT_EQ(ReadTiffDirectoryProperties(bytes, 8, store), InvalidParameter) << bytes.size();
  }
  EXPECT_EQ(store.size(), 0u);
}

TEST_F(ExifReaderDamage, EntriesOutsideTheBlockAreSkipped) {
  const auto& b = block_;
  block_.SetFirstDirectory(block_.AddDirectory({
      {0x0110, kFieldAscii, 100, {}, 0xFFFFFF00},                  // value offset past the end
      {0x0111, kFieldLong, 0x40000001, {}, 8},                      // count x 4 wraps in 32 bits
      {0x0112, kFieldRational, 0xFFFFFFFF, {}, 8},                  // huge count
      {0x0113, 0, 1, {1}, std::nullopt},                            // unknown types
      {0x0114, 14, 1, {1}, std::nullopt},
      {0x0115, 99, 1, {1}, std::nullopt},
      sound_,
      {0x0116, kFieldShort, 1, b.Encode<std::uint16_t>({7}), std::nullopt},
  }));
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, PropertyTagEquipMake, PropertyTagTypeASCII, Text("Acme"));
  ExpectItem(store, 0x0116, PropertyTagTypeShort, Native<std::uint16_t>({7}));
  EXPECT_EQ(store.size(), 2u);
}

TEST_F(ExifReaderDamage, ValueEndingExactlyAtTheEndIsKept) {
  const std::uint32_t first = block_.AddDirectory({{0x9286, kFieldUndefined, 6, {}, 0}});
  block_.SetFirstDirectory(first);
  const std::uint32_t valueAt = block_.Append({1, 2, 3, 4, 5, 6});
  block_.PutU32(first + 2 + 8, valueAt);
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, 0x9286, PropertyTagTypeUndefined, {1, 2, 3, 4, 5, 6});

  auto shortBlock = block_.bytes();
  shortBlock.pop_back();
  PropertyStore none;
  ASSERT_EQ(ReadExifProperties(shortBlock, none), Ok);
  EXPECT_EQ(none.size(), 0u);
}

TEST_F(ExifReaderDamage, LoopsAreCut) {
  // IFD0 points to itself as EXIF, GPS and next directory; the EXIF
  // directory points back to IFD0 as Interop.
  const std::uint32_t ifd0 = 8 + 4;  // after the header and a 4-byte gap
  block_.Append({0, 0, 0, 0});
  const std::uint32_t exif = ifd0 + 2 + 4 * 12 + 4 + 6;  // after IFD0 and its padded "Acme"
  ASSERT_EQ(block_.AddDirectory({sound_, {0x8769, kFieldLong, 1, {}, exif}, {0x8825, kFieldLong, 1, {}, ifd0},
                                 {0xA005, kFieldLong, 1, {}, ifd0}},
                                ifd0),
            ifd0);
  ASSERT_EQ(block_.AddDirectory({{0x9003, kFieldAscii, 3, Text("ab"), std::nullopt},
                                 {0xA005, kFieldLong, 1, {}, ifd0}},
                                exif),
            exif);
  block_.SetFirstDirectory(ifd0);
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, PropertyTagEquipMake, PropertyTagTypeASCII, Text("Acme"));
  ExpectItem(store, PropertyTagExifDTOrig, PropertyTagTypeASCII, Text("ab"));
  EXPECT_EQ(store.size(), 5u);  // make, three pointers, date
}

TEST_F(ExifReaderDamage, DirectoryCutShortKeepsItsWholeEntries) {
  const Field orientation{0x0112, kFieldShort, 1, block_.Encode<std::uint16_t>({6}), std::nullopt};
  block_.SetFirstDirectory(block_.AddDirectory({orientation, orientation}));
  auto bytes = block_.bytes();
  bytes[8] = 0xFF;  // claims 65535 entries
  bytes[9] = 0xFF;
  bytes.resize(8 + 2 + 12 + 6);  // the first entry whole, the second cut
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(bytes, store), Ok);
  ExpectItem(store, PropertyTagOrientation, PropertyTagTypeShort, Native<std::uint16_t>({6}));
  EXPECT_EQ(store.size(), 1u);
}

TEST_F(ExifReaderDamage, EntryCountIsBounded) {
  std::vector<Field> fields;
  for (std::uint16_t i = 0; i < 1500; ++i) {
    fields.push_back({static_cast<std::uint16_t>(0x2000 + i), kFieldByte, 1, {1}, std::nullopt});
  }
  block_.SetFirstDirectory(block_.AddDirectory(fields));
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  EXPECT_EQ(store.size(), 1000u);
  EXPECT_NE(store.Find(0x2000 + 999), nullptr);
}

TEST_F(ExifReaderDamage, SharedLargeValuesAreBounded) {
  // Many tags pointing at one 4000-byte value: the values kept add up to at
  // most twice the block.
  const std::uint32_t valueAt = block_.Append(std::vector<std::uint8_t>(4000, 0x5A));
  std::vector<Field> fields;
  for (std::uint16_t i = 0; i < 500; ++i) {
    fields.push_back({static_cast<std::uint16_t>(0x2000 + i), kFieldUndefined, 4000, {}, valueAt});
  }
  block_.SetFirstDirectory(block_.AddDirectory(fields));
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  std::size_t kept = 0;
  for (const auto& item : store.items()) kept += item.value.size();
  EXPECT_GT(store.size(), 1u);
  EXPECT_LE(kept, 2 * block_.bytes().size());
}

TEST_F(ExifReaderDamage, FirstItemWithAnIdWins) {
  const auto& b = block_;
  block_.SetFirstDirectory(block_.AddDirectory({
      sound_,
      {0x010F, kFieldAscii, 6, Text("Other"), std::nullopt},
      {0x0112, kFieldShort, 1, b.Encode<std::uint16_t>({6}), std::nullopt},
  }));
  PropertyStore store;
  store.SetShorts(PropertyTagOrientation, std::vector<std::uint16_t>{3});
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  ExpectItem(store, PropertyTagEquipMake, PropertyTagTypeASCII, Text("Acme"));
  ExpectItem(store, PropertyTagOrientation, PropertyTagTypeShort, Native<std::uint16_t>({3}));
}

TEST_F(ExifReaderDamage, ThumbnailPastTheEndIsDropped) {
  const auto& b = block_;
  const std::uint32_t ifd1 = block_.AddDirectory({
      {0x0201, kFieldLong, 1, b.Encode<std::uint32_t>({8}), std::nullopt},
      {0x0202, kFieldLong, 1, b.Encode<std::uint32_t>({0xFFFFFFF0}), std::nullopt},
  });
  block_.SetFirstDirectory(block_.AddDirectory({sound_}, ifd1));
  PropertyStore store;
  ASSERT_EQ(ReadExifProperties(block_.bytes(), store), Ok);
  EXPECT_EQ(store.Find(PropertyTagThumbnailData), nullptr);
  EXPECT_EQ(store.Find(PropertyTagThumbnailFormat), nullptr);
  EXPECT_NE(store.Find(PropertyTagJPEGInterLength), nullptr);
}

class TiffDirectoryReading : public ::testing::Test {};

TEST_F(TiffDirectoryReading, ReadsTheGivenPageWithItsSubDirectoriesButNoThumbnail) {
  TiffBlockBuilder block(ByteOrder::Big);
  const auto& b = block;
  const std::uint32_t gps = block.AddDirectory({{0x0000, kFieldByte, 4, {2, 2, 0, 0}, std::nullopt}});
  const std::uint32_t page2 = block.AddDirectory({
      {0x0100, kFieldShort, 1, b.Encode<std::uint16_t>({33}), std::nullopt},
      {0x0111, kFieldLong, 5, b.Encode<std::uint32_t>({10, 20, 30, 40, 50}), std::nullopt},
      {0x8825, kFieldLong, 1, {}, gps},
  });
  const std::uint32_t page1 =
      block.AddDirectory({{0x0100, kFieldShort, 1, b.Encode<std::uint16_t>({11}), std::nullopt}}, page2);
  block.SetFirstDirectory(page1);
  PropertyStore store;
  ASSERT_EQ(ReadTiffDirectoryProperties(block.bytes(), page2, store), Ok);
  ExpectItem(store, PropertyTagImageWidth, PropertyTagTypeShort, Native<std::uint16_t>({33}));
  ExpectItem(store, PropertyTagStripOffsets, PropertyTagTypeLong, Native<std::uint32_t>({10, 20, 30, 40, 50}));
  ExpectItem(store, PropertyTagGpsVer, PropertyTagTypeByte, {2, 2, 0, 0});
  EXPECT_EQ(store.size(), 4u);

  // The first page's next directory is another page, not a thumbnail.
  PropertyStore first;
  ASSERT_EQ(ReadTiffDirectoryProperties(block.bytes(), page1, first), Ok);
  ExpectItem(first, PropertyTagImageWidth, PropertyTagTypeShort, Native<std::uint16_t>({11}));
  EXPECT_EQ(first.size(), 1u);

  PropertyStore none;
  EXPECT_EQ(ReadTiffDirectoryProperties(block.bytes(), block.bytes().size() + 1, none), InvalidParameter);
  EXPECT_EQ(ReadTiffDirectoryProperties(block.bytes(), std::numeric_limits<std::uint64_t>::max(), none),
            InvalidParameter);
  EXPECT_EQ(none.size(), 0u);
}

TEST_F(TiffDirectoryReading, BigTiffDirectories) {
  // Header, then a directory at 16 with two 20-byte entries: a SHORT
  // inline and a LONG array of three at 64, after the next offset.
  std::vector<std::uint8_t> bytes = {'I', 'I', 43, 0, 8, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0};
  const std::vector<std::uint8_t> directory = {
      2, 0, 0, 0, 0, 0, 0, 0,                                                        // two entries
      0x00, 0x01, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0x34, 0x12, 0, 0, 0, 0, 0, 0,        // width 0x1234
      0x11, 0x01, 4, 0, 3, 0, 0, 0, 0, 0, 0, 0, 72, 0, 0, 0, 0, 0, 0, 0,             // strips at 72
      0, 0, 0, 0, 0, 0, 0, 0,                                                        // no next
      1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
  bytes.insert(bytes.end(), directory.begin(), directory.end());
  ASSERT_EQ(bytes.size(), 84u);
  PropertyStore store;
  ASSERT_EQ(ReadTiffDirectoryProperties(bytes, 16, store), Ok);
  ExpectItem(store, PropertyTagImageWidth, PropertyTagTypeShort, Native<std::uint16_t>({0x1234}));
  ExpectItem(store, PropertyTagStripOffsets, PropertyTagTypeLong, Native<std::uint32_t>({1, 2, 3}));
  PropertyStore viaExif;
  ASSERT_EQ(ReadExifProperties(bytes, viaExif), Ok);
  EXPECT_EQ(viaExif.size(), 2u);
}

}  // namespace
}  // namespace pixavue::platform::test
