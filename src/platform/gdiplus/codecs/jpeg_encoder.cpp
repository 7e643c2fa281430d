// JPEG encoding through libjpeg-turbo. 24-bit and 32-bit pixels go to
// libjpeg as they are stored; other formats, and premultiplied pixels, pass
// through 32-bit ARGB rows; grey-palette and 16-bit grey images make a
// greyscale file. The JFIF header carries the resolution, an APP1 segment
// the EXIF properties and APP2 segments the ICC profile.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "../codec.h"
#include "../exif.h"
#include "../pixel_convert.h"
#include "jpeg_error.h"
#include "jpeg_metadata.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr int kDefaultQuality = 75;
constexpr std::size_t kMaxMarkerData = 65533;  // segment length field minus itself

// How rows reach libjpeg.
enum class Input {
  Bgr,         // 24bppRGB rows as stored
  Bgrx,        // 32bppRGB/ARGB rows as stored, the fourth byte ignored
  ArgbRows,    // converted row by row to 32bppARGB, read as B, G, R, x
  GreyPalette, // 8bppIndexed with a grey palette, indices mapped to levels
  GreyRows,    // 16bppGrayScale, converted row by row
};

std::optional<int> QualityParameter(const EncoderParameters* params) {
  const EncoderParameter* quality = FindEncoderParameter(params, EncoderQuality);
  if (quality == nullptr) return kDefaultQuality;
  if (quality->NumberOfValues != 1 || quality->Type != EncoderParameterValueTypeLong || quality->Value == nullptr) {
    return std::nullopt;
  }
  const auto value = *static_cast<const std::int32_t*>(quality->Value);
  if (value < 0 || value > 100) return std::nullopt;
  return value;
}

bool IsGreyPalette(const std::vector<ARGB>& palette) {
  return !palette.empty() && std::all_of(palette.begin(), palette.end(), [](ARGB c) {
    return ((c >> 16) & 0xFF) == (c & 0xFF) && ((c >> 8) & 0xFF) == (c & 0xFF);
  });
}

Input InputFor(const Frame& frame) {
  switch (frame.pixels.format()) {
    case PixelFormat24bppRGB:
      return Input::Bgr;
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
      return Input::Bgrx;
    case PixelFormat8bppIndexed:
      return IsGreyPalette(frame.palette) ? Input::GreyPalette : Input::ArgbRows;
    case PixelFormat16bppGrayScale:
      return Input::GreyRows;
    default:
      return Input::ArgbRows;
  }
}

std::uint16_t DensityFor(float dpi) {
  if (!(dpi >= 1.0f)) return 1;  // also NaN
  return static_cast<std::uint16_t>(std::min(std::lround(dpi), long{std::numeric_limits<std::uint16_t>::max()}));
}

// "Exif\0\0" and the EXIF block of `properties`, or nothing. A block too
// big for one segment loses its largest items (thumbnails, maker notes)
// until it fits.
std::vector<std::uint8_t> ExifSegment(const PropertyStore& properties) {
  PropertyStore kept = properties;
  kept.Remove(PropertyTagICCProfile);  // written as APP2 segments instead
  while (kept.size() > 0) {
    std::vector<std::uint8_t> block = WriteExifBlock(kept);
    if (block.empty()) return {};
    if (block.size() <= kMaxMarkerData - kExifSignature.size()) {
      block.insert(block.begin(), kExifSignature.begin(), kExifSignature.end());
      return block;
    }
    const auto largest = std::max_element(kept.items().begin(), kept.items().end(),
                                          [](const auto& a, const auto& b) { return a.value.size() < b.value.size(); });
    kept.Remove(largest->id);
  }
  return {};
}

class JpegEncoder final {
 public:
  JpegEncoder(const EncodeSource& source, int quality)
      : frame_(source.frame), properties_(source.properties), quality_(quality), input_(InputFor(source.frame)) {
    cinfo_.err = InitJpegErrors(errors_);
  }
  ~JpegEncoder() {
    jpeg_destroy_compress(&cinfo_);
    std::free(output_);
  }
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  GpStatus Run(std::vector<std::uint8_t>& out) {
    Prepare();
    const GpStatus status = EncodeGuarded();
    if (status != Ok) return status;
    out.assign(output_, output_ + outputSize_);
    return Ok;
  }

 private:
  // Buffers are made before the jump point so that a jump skips no
  // destructor.
  void Prepare() {
    exif_ = ExifSegment(properties_);
    if (const StoredProperty* icc = properties_.Find(PropertyTagICCProfile)) icc_ = icc->value;
    const std::uint32_t width = frame_.pixels.width();
    if (input_ == Input::ArgbRows) argbLine_.resize(width);
    if (input_ == Input::GreyRows) argbLine_.resize(width);
    if (input_ == Input::GreyPalette || input_ == Input::GreyRows) greyLine_.resize(width);
    if (input_ == Input::GreyPalette) {
      greyLevels_.fill(0);  // indices past the palette read as black
      for (std::size_t i = 0; i < frame_.palette.size() && i < greyLevels_.size(); ++i) {
        greyLevels_[i] = static_cast<JSAMPLE>(frame_.palette[i] & 0xFF);
      }
    }
  }

  GpStatus EncodeGuarded() {
    if (setjmp(errors_.jump) != 0) return StatusForJpegError(errors_.base);
    Encode();
    return Ok;
  }

  void Encode() {
    jpeg_create_compress(&cinfo_);
    jpeg_mem_dest(&cinfo_, &output_, &outputSize_);
    cinfo_.image_width = frame_.pixels.width();
    cinfo_.image_height = frame_.pixels.height();
    const bool grey = input_ == Input::GreyPalette || input_ == Input::GreyRows;
    cinfo_.input_components = grey ? 1 : input_ == Input::Bgr ? 3 : 4;
    cinfo_.in_color_space = grey ? JCS_GRAYSCALE : input_ == Input::Bgr ? JCS_EXT_BGR : JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, quality_, TRUE);
    cinfo_.write_JFIF_header = TRUE;
    cinfo_.density_unit = 1;
    cinfo_.X_density = DensityFor(frame_.dpiX);
    cinfo_.Y_density = DensityFor(frame_.dpiY);
    jpeg_start_compress(&cinfo_, TRUE);
    if (!exif_.empty()) {
      jpeg_write_marker(&cinfo_, JPEG_APP0 + 1, exif_.data(), static_cast<unsigned int>(exif_.size()));
    }
    if (!icc_.empty()) jpeg_write_icc_profile(&cinfo_, icc_.data(), static_cast<unsigned int>(icc_.size()));
    while (cinfo_.next_scanline < cinfo_.image_height) {
      JSAMPROW row = RowForLibjpeg(cinfo_.next_scanline);
      jpeg_write_scanlines(&cinfo_, &row, 1);
    }
    jpeg_finish_compress(&cinfo_);
  }

  JSAMPROW RowForLibjpeg(std::uint32_t y) {
    const std::uint32_t width = frame_.pixels.width();
    switch (input_) {
      case Input::Bgr:
      case Input::Bgrx:
        return frame_.pixels.Row(y);
      case Input::ArgbRows:
        ReadArgb32(frame_, 0, y, width, argbLine_.data());
        return reinterpret_cast<JSAMPROW>(argbLine_.data());
      case Input::GreyPalette: {
        const std::uint8_t* indices = frame_.pixels.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) greyLine_[x] = greyLevels_[indices[x]];
        return greyLine_.data();
      }
      case Input::GreyRows:
        ReadArgb32(frame_, 0, y, width, argbLine_.data());
        for (std::uint32_t x = 0; x < width; ++x) greyLine_[x] = static_cast<JSAMPLE>(argbLine_[x] & 0xFF);
        return greyLine_.data();
    }
    return frame_.pixels.Row(y);
  }

  const Frame& frame_;
  const PropertyStore& properties_;
  const int quality_;
  const Input input_;
  JpegErrorManager errors_{};
  jpeg_compress_struct cinfo_{};
  unsigned char* output_ = nullptr;
  unsigned long outputSize_ = 0;
  std::vector<std::uint8_t> exif_;
  std::vector<std::uint8_t> icc_;
  std::vector<ARGB> argbLine_;
  std::vector<JSAMPLE> greyLine_;
  std::array<JSAMPLE, 256> greyLevels_{};
};

}  // namespace

GpStatus EncodeJpeg(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out) {
  const std::optional<int> quality = QualityParameter(params);
  if (!quality) return InvalidParameter;
  if (source.frame.pixels.empty()) return InvalidParameter;
  JpegEncoder encoder(source, *quality);
  return encoder.Run(out);
}

}  // namespace pixavue::platform::gdiplus
