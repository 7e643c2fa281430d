#pragma once
// JPEG files made in the tests themselves: libjpeg writes them, so that
// CMYK, progressive and hand-made markers are possible.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "gdiplus_test_support.h"
#include "icc_test_profiles.h"
#include "jpeg_memory_writer.h"

namespace pixavue::platform::test {

struct TestJpeg final {
  std::uint32_t width = 16;
  std::uint32_t height = 16;
  J_COLOR_SPACE input = JCS_RGB;  // layout of `samples`
  int components = 3;
  std::vector<std::uint8_t> samples;  // rows of width * components bytes
  J_COLOR_SPACE stored = JCS_UNKNOWN;  // JCS_UNKNOWN keeps libjpeg's default
  bool adobeMarker = false;            // only for CMYK and YCCK
  bool jfif = true;
  int densityUnit = 0;
  int xDensity = 1;
  int yDensity = 1;
  bool progressive = false;
  bool arithmetic = false;
  bool subsampled = false;  // libjpeg's 2x2 chroma; else every component at full size
  int quality = 100;
  std::vector<std::pair<int, std::vector<std::uint8_t>>> markers;  // written after the header
};

inline std::vector<std::uint8_t> WriteTestJpeg(const TestJpeg& spec) {
  JpegMemoryWriter writer(spec.width, spec.height, spec.components, spec.input);
  jpeg_compress_struct& cinfo = writer.cinfo();
  if (spec.stored != JCS_UNKNOWN) jpeg_set_colorspace(&cinfo, spec.stored);
  jpeg_set_quality(&cinfo, spec.quality, TRUE);
  for (int c = 0; c < cinfo.num_components && !spec.subsampled; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  cinfo.write_Adobe_marker = spec.adobeMarker ? TRUE : FALSE;
  cinfo.write_JFIF_header = spec.jfif ? TRUE : FALSE;
  cinfo.density_unit = static_cast<UINT8>(spec.densityUnit);
  cinfo.X_density = static_cast<UINT16>(spec.xDensity);
  cinfo.Y_density = static_cast<UINT16>(spec.yDensity);
  cinfo.arith_code = spec.arithmetic ? TRUE : FALSE;
  if (spec.progressive) jpeg_simple_progression(&cinfo);
  writer.Start();
  for (const auto& [marker, data] : spec.markers) {
    jpeg_write_marker(&cinfo, marker, data.data(), static_cast<unsigned int>(data.size()));
  }
  const std::size_t rowBytes = std::size_t{spec.width} * static_cast<std::size_t>(spec.components);
  while (writer.WantsRow()) writer.WriteRow(spec.samples.data() + writer.NextRow() * rowBytes);
  return writer.Finish();
}

// Samples of a picture made of 8x8 blocks of flat colour, cycling through
// `colours` (each of `components` bytes), so that even 4:2:0 chroma keeps
// every block's colour.
inline std::vector<std::uint8_t> BlockSamples(std::uint32_t width, std::uint32_t height, int components,
                                              const std::vector<std::vector<std::uint8_t>>& colours) {
  std::vector<std::uint8_t> samples;
  const std::uint32_t blocksAcross = (width + 15) / 16;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const auto& colour = colours[((y / 16) * blocksAcross + x / 16) % colours.size()];
      samples.insert(samples.end(), colour.begin(), colour.begin() + components);
    }
  }
  return samples;
}

// APP2 "ICC_PROFILE" chunks of `profile`, split into `count` pieces.
inline std::vector<std::vector<std::uint8_t>> IccChunks(const std::vector<std::uint8_t>& profile, int count) {
  std::vector<std::vector<std::uint8_t>> chunks;
  const std::size_t piece = (profile.size() + static_cast<std::size_t>(count) - 1) / static_cast<std::size_t>(count);
  for (int i = 0; i < count; ++i) {
    std::vector<std::uint8_t> chunk{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
    chunk.push_back(static_cast<std::uint8_t>(i + 1));
    chunk.push_back(static_cast<std::uint8_t>(count));
    const std::size_t begin = piece * static_cast<std::size_t>(i);
    const std::size_t end = std::min(profile.size(), begin + piece);
    chunk.insert(chunk.end(), profile.begin() + static_cast<std::ptrdiff_t>(begin),
                 profile.begin() + static_cast<std::ptrdiff_t>(end));
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

// The channel of 0xAARRGGBB at `shift`.
inline int Channel(ARGB colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

// Writes JPEG bytes into the test's folder and loads them.
class JpegFileTest : public GdiplusTest {
 protected:
  GpImage* Load(const std::vector<std::uint8_t>& file, bool icm = false) {
    const auto path = temp_dir() / ("f" + std::to_string(++files_) + ".jpg");
    WriteFile(path, file);
    GpImage* image = nullptr;
    const GpStatus status = icm ? GdipLoadImageFromFileICM(Wide(path).c_str(), &image)
                                : GdipLoadImageFromFile(Wide(path).c_str(), &image);
    EXPECT_EQ(status, Ok);
    return image;
  }
  GpStatus LoadStatus(const std::vector<std::uint8_t>& file) {
    const auto path = temp_dir() / ("s" + std::to_string(++files_) + ".jpg");
    WriteFile(path, file);
    GpImage* image = nullptr;
    const GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }

 private:
  int files_ = 0;
};

}  // namespace pixavue::platform::test
