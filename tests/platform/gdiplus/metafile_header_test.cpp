// Metafile headers through the flat queries: size and resolution of
// placeable and plain WMF files and of EMF files, and refused headers.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"
#include "metafile_test_files.h"

namespace pixavue::platform::test {
namespace {

std::vector<std::uint8_t> Record(std::uint16_t function, std::vector<std::int16_t> params) {
  ByteWriter out;
  out.U32(static_cast<std::uint32_t>(3 + params.size())).U16(function);
  for (std::int16_t p : params) out.U16(static_cast<std::uint16_t>(p));
  return out.data;
}

std::vector<std::uint8_t> EndRecord() { return Record(0x0000, {}); }

struct EmfHeader final {
  std::int32_t bounds[4] = {0, 0, 99, 49};
  std::int32_t frame[4] = {0, 0, 5080, 2540};
  std::int32_t device[2] = {1920, 1080};
  std::int32_t millimetres[2] = {320, 180};
  std::uint32_t headerBytes = 88;
  std::int64_t fileBytesDelta = 0;  // added to the true size in nBytes
};

std::vector<std::uint8_t> Emf(const EmfHeader& h) {
  ByteWriter out;
  out.U32(1).U32(h.headerBytes);
  for (std::int32_t v : h.bounds) out.U32(static_cast<std::uint32_t>(v));
  for (std::int32_t v : h.frame) out.U32(static_cast<std::uint32_t>(v));
  const std::uint32_t total = 88 + 20;  // header and an EOF record
  out.U32(0x464D4520u).U32(0x10000).U32(static_cast<std::uint32_t>(total + h.fileBytesDelta)).U32(2);
  out.U16(1).U16(0).U32(0).U32(0).U32(0);
  out.U32(static_cast<std::uint32_t>(h.device[0])).U32(static_cast<std::uint32_t>(h.device[1]));
  out.U32(static_cast<std::uint32_t>(h.millimetres[0])).U32(static_cast<std::uint32_t>(h.millimetres[1]));
  out.U32(14).U32(20).U32(0).U32(16).U32(20);  // EMR_EOF
  return out.data;
}

class MetafileHeaderTest : public GdiplusTest {
 protected:
  struct Loaded {
    GUID raw{};
    UINT32 width = 0, height = 0;
    REAL dpiX = 0, dpiY = 0;
  };

  std::filesystem::path Write(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("picture" + std::to_string(files_++));
    WriteFile(path, bytes);
    return path;
  }
  Loaded Load(const std::vector<std::uint8_t>& bytes) {
    ImageGuard image(LoadImage(Write(bytes)));
    Loaded out;
    if (image.get() == nullptr) return out;
    ImageType type = ImageTypeUnknown;
    EXPECT_EQ(GdipGetImageType(image.get(), &type), Ok);
    EXPECT_EQ(type, ImageTypeMetafile);
    EXPECT_EQ(GdipGetImageRawFormat(image.get(), &out.raw), Ok);
    EXPECT_EQ(GdipGetImageWidth(image.get(), &out.width), Ok);
    EXPECT_EQ(GdipGetImageHeight(image.get(), &out.height), Ok);
    EXPECT_EQ(GdipGetImageHorizontalResolution(image.get(), &out.dpiX), Ok);
    EXPECT_EQ(GdipGetImageVerticalResolution(image.get(), &out.dpiY), Ok);
    return out;
  }
  GpStatus LoadStatus(const std::vector<std::uint8_t>& bytes) {
    GpImage* image = nullptr;
    const GpStatus status = GdipLoadImageFromFile(Wide(Write(bytes)).c_str(), &image);
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }

 private:
  int files_ = 0;
};

TEST_F(MetafileHeaderTest, PlaceableWmfReportsItsBoxInLogicalUnits) {
  const auto file = Placeable(100, 50, 2980, 1490, 1440, Wmf(EndRecord()));
  const Loaded loaded = Load(file);
  EXPECT_EQ(loaded.raw, ImageFormatWMF);
  EXPECT_EQ(loaded.width, 2880u);
  EXPECT_EQ(loaded.height, 1440u);
  EXPECT_EQ(loaded.dpiX, 1440.0f);
  EXPECT_EQ(loaded.dpiY, 1440.0f);
  // Not a bitmap.
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromFile(Wide(Write(file)).c_str(), &bitmap), InvalidParameter);
  EXPECT_EQ(bitmap, nullptr);
}

TEST_F(MetafileHeaderTest, PlainWmfTakesTheWindowExtentAt96Dpi) {
  const auto window = Record(0x020B, {20, 10});  // y, x
  auto records = Record(0x0201, {0, 0});         // SetBkColor before the window records
  for (const auto& r : {window, Record(0x020C, {-200, 300}), Record(0x020C, {5, 5}), EndRecord()}) {
    records.insert(records.end(), r.begin(), r.end());
  }
  const Loaded loaded = Load(Wmf(records));
  EXPECT_EQ(loaded.raw, ImageFormatWMF);
  EXPECT_EQ(loaded.width, 300u);
  EXPECT_EQ(loaded.height, 200u);
  EXPECT_EQ(loaded.dpiX, 96.0f);
}

TEST_F(MetafileHeaderTest, EmfFrameAtTheReferenceDeviceResolution) {
  // 1920 px over 320 mm: 152.4 dpi; the 50.8 x 25.4 mm frame is 304.8 x
  // 152.4 pixels there.
  const Loaded loaded = Load(Emf(EmfHeader{}));
  EXPECT_EQ(loaded.raw, ImageFormatEMF);
  EXPECT_FLOAT_EQ(loaded.dpiX, 152.4f);
  EXPECT_FLOAT_EQ(loaded.dpiY, 152.4f);
  EXPECT_EQ(loaded.width, 305u);
  EXPECT_EQ(loaded.height, 152u);

  EmfHeader noMillimetres;
  noMillimetres.millimetres[0] = noMillimetres.millimetres[1] = 0;
  const Loaded at96 = Load(Emf(noMillimetres));
  EXPECT_EQ(at96.dpiX, 96.0f);
  EXPECT_EQ(at96.width, 192u);
  EXPECT_EQ(at96.height, 96u);

  EmfHeader emptyFrame;
  emptyFrame.frame[2] = 0;
  const Loaded fromBounds = Load(Emf(emptyFrame));
  EXPECT_EQ(fromBounds.width, 100u);
  EXPECT_EQ(fromBounds.height, 50u);
}

TEST_F(MetafileHeaderTest, CorruptHeadersAreRefused) {
  // Placeable: checksum, units per inch, empty box, standard header.
  auto badChecksum = Placeable(0, 0, 100, 100, 1440, Wmf(EndRecord()));
  badChecksum[20] ^= 1;
  EXPECT_EQ(LoadStatus(badChecksum), InvalidParameter);
  EXPECT_EQ(LoadStatus(Placeable(0, 0, 100, 100, 0, Wmf(EndRecord()))), InvalidParameter);
  EXPECT_EQ(LoadStatus(Placeable(0, 0, 100, 100, 60000, Wmf(EndRecord()))), InvalidParameter);
  EXPECT_EQ(LoadStatus(Placeable(50, 0, 50, 100, 1440, Wmf(EndRecord()))), InvalidParameter);
  EXPECT_EQ(LoadStatus(Placeable(0, 0, 100, 100, 1440, Wmf(EndRecord(), 0x200))), InvalidParameter);
  const auto placeable = Placeable(0, 0, 100, 100, 1440, Wmf(EndRecord()));
  EXPECT_EQ(LoadStatus({placeable.begin(), placeable.begin() + 30}), InvalidParameter);

  // Plain: no window extent, a record running past the end, a record too
  // short to hold its own header, no end record.
  EXPECT_EQ(LoadStatus(Wmf(EndRecord())), InvalidParameter);
  auto pastEnd = Record(0x020C, {10, 10});
  pastEnd[0] = 200;
  EXPECT_EQ(LoadStatus(Wmf(pastEnd)), InvalidParameter);
  auto zeroSize = Record(0x020C, {10, 10});
  zeroSize[0] = 0;
  EXPECT_EQ(LoadStatus(Wmf(zeroSize)), InvalidParameter);
  EXPECT_EQ(LoadStatus(Wmf(Record(0x020C, {10, 10}))), InvalidParameter);

  // EMF: sizes inconsistent with the file, no usable bounds, too large.
  EmfHeader longer;
  longer.fileBytesDelta = 1;
  EXPECT_EQ(LoadStatus(Emf(longer)), InvalidParameter);
  EmfHeader shortHeader;
  shortHeader.headerBytes = 80;
  EXPECT_EQ(LoadStatus(Emf(shortHeader)), InvalidParameter);
  EmfHeader nothing;
  nothing.frame[2] = 0;
  nothing.bounds[2] = -5;
  EXPECT_EQ(LoadStatus(Emf(nothing)), InvalidParameter);
  EmfHeader huge;
  huge.frame[2] = 2000000000;
  EXPECT_EQ(LoadStatus(Emf(huge)), OutOfMemory);
  const auto emf = Emf(EmfHeader{});
  for (std::size_t length = 44; length < emf.size(); ++length) {
    EXPECT_EQ(LoadStatus({emf.begin(), emf.begin() + static_cast<std::ptrdiff_t>(length)}), InvalidParameter)
        << length;
  }
}

}  // namespace
}  // namespace pixavue::platform::test
