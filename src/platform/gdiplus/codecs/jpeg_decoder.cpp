// JPEG decoding through libjpeg-turbo. Colour files decode straight into
// the rows of a 24-bit B, G, R buffer; greyscale files into 8-bit indexed
// pixels with a grey palette; CMYK and YCCK files row by row through a
// CMYK line into 24-bit B, G, R. A truncated file decodes what is there.
//
// A file whose coefficients libjpeg must hold whole (progressive, or
// sequential with components in separate scans) reserves them against the
// load's budget before the decode starts, and every scan is charged as the
// work of walking the blocks it covers, so that a few hundred bytes of scan
// headers cannot make a load run for long.

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include <jerror.h>

#include <algorithm>
#include <limits>

#include "../codec.h"
#include "../exif.h"
#include "../icc.h"
#include "../image_limits.h"
#include "../load_budget.h"
#include "jpeg_cmyk.h"
#include "jpeg_error.h"
#include "jpeg_metadata.h"
#include "jpeg_scan_work.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kGreyLevels = 256;

enum class Layout { Bgr, Grey, Cmyk };

std::uint32_t ColorSpaceFlag(J_COLOR_SPACE space) {
  switch (space) {
    case JCS_GRAYSCALE:
      return ImageFlagsColorSpaceGRAY;
    case JCS_YCbCr:
      return ImageFlagsColorSpaceYCBCR;
    case JCS_CMYK:
      return ImageFlagsColorSpaceCMYK;
    case JCS_YCCK:
      return ImageFlagsColorSpaceYCCK;
    default:
      return ImageFlagsColorSpaceRGB;
  }
}

class JpegDecoder final {
 public:
  JpegDecoder(const EncodedBytes& data, const DecodeOptions& options) : data_(data), options_(options) {
    cinfo_.err = InitJpegErrors(errors_);
  }
  ~JpegDecoder() { jpeg_destroy_decompress(&cinfo_); }
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  GpStatus Run(DecodedImage& out) {
    const GpStatus status = DecodeGuarded();
    if (status != Ok) return status;
    ApplyColorManagement();
    out.rawFormat = ImageFormatJPEG;
    out.frame = std::move(frame_);
    out.properties = std::move(properties_);
    return Ok;
  }

 private:
  // Everything that calls into libjpeg runs below this jump point. Objects
  // that need destructors live in members, so a jump skips none.
  GpStatus DecodeGuarded() {
    if (setjmp(errors_.jump) != 0) {
      // Rows decoded before a late error are kept, as for a truncated file.
      return cinfo_.output_scanline > 0 ? Ok : StatusForJpegError(errors_.base);
    }
    return Decode();
  }

  GpStatus Decode() {
    jpeg_create_decompress(&cinfo_);
    jpeg_mem_src(&cinfo_, data_->data(), static_cast<unsigned long>(data_->size()));
    jpeg_save_markers(&cinfo_, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&cinfo_, JPEG_APP0 + 2, 0xFFFF);
    scanWork_.Attach(cinfo_);
    jpeg_read_header(&cinfo_, TRUE);
    GpStatus status = CheckImageSize(cinfo_.image_width, cinfo_.image_height);
    if (status == Ok) status = ChooseLayout();
    if (status == Ok) status = ReserveCoefficients();
    if (status == Ok) status = AllocateFrame();
    if (status != Ok) return status;
    LimitLibraryMemory();
    ReadMetadata();
    jpeg_start_decompress(&cinfo_);
    if (cinfo_.output_width != frame_.pixels.width() || cinfo_.output_height != frame_.pixels.height()) {
      return InvalidParameter;
    }
    if (layout_ == Layout::Cmyk) {
      ReadCmykRows();
    } else {
      ReadRowsInPlace();
    }
    return Ok;
  }

  GpStatus ChooseLayout() {
    switch (cinfo_.jpeg_color_space) {
      case JCS_GRAYSCALE:
        layout_ = Layout::Grey;
        cinfo_.out_color_space = JCS_GRAYSCALE;
        break;
      case JCS_YCbCr:
      case JCS_RGB:
        layout_ = Layout::Bgr;
        cinfo_.out_color_space = JCS_EXT_BGR;
        break;
      case JCS_CMYK:
      case JCS_YCCK:
        layout_ = Layout::Cmyk;
        cinfo_.out_color_space = JCS_CMYK;
        break;
      default:
        return UnknownImageFormat;
    }
    frame_.flags = ColorSpaceFlag(cinfo_.jpeg_color_space);
    return Ok;
  }

  // The whole coefficient arrays libjpeg will make, counted before it makes
  // them.
  GpStatus ReserveCoefficients() {
    auto reservation = BudgetReservation::Take(BufferedCoefficientBytes(cinfo_));
    if (!reservation) return OutOfMemory;
    coefficients_ = std::move(*reservation);
    return Ok;
  }

  // libjpeg's own allocations (the coefficient arrays already reserved, row
  // and colour buffers) may use what the budget has left; past that it
  // fails with an out-of-memory error instead of allocating.
  void LimitLibraryMemory() {
    const LoadBudget* budget = CurrentLoadBudget();
    if (budget == nullptr) return;
    // 0 would mean no limit at all.
    const std::uint64_t allowed = std::max<std::uint64_t>(1, coefficients_.bytes() + budget->Available());
    constexpr auto kMost = static_cast<std::uint64_t>(std::numeric_limits<long>::max());
    cinfo_.mem->max_memory_to_use = static_cast<long>(std::min(allowed, kMost));
  }

  GpStatus AllocateFrame() {
    const PixelFormat format = layout_ == Layout::Grey ? PixelFormat8bppIndexed : PixelFormat24bppRGB;
    auto pixels = PixelBuffer::Allocate(format, cinfo_.image_width, cinfo_.image_height);
    if (!pixels) return OutOfMemory;
    frame_.pixels = std::move(*pixels);
    if (layout_ == Layout::Grey) {
      frame_.palette.resize(kGreyLevels);
      for (std::uint32_t level = 0; level < kGreyLevels; ++level) {
        frame_.palette[level] = 0xFF000000u | (level << 16) | (level << 8) | level;
      }
      frame_.paletteFlags = PaletteFlagsGrayScale;
    }
    return Ok;
  }

  void ReadMetadata() {
    const std::span<const std::uint8_t> exif = FindExifBlock(cinfo_);
    if (!exif.empty()) ReadExifProperties(exif, properties_);  // a damaged block adds nothing
    icc_ = ReadIccProfile(cinfo_);
    // The profile item describes the pixels only while they stay in its
    // colour space: not once converted to sRGB, nor after CMYK became RGB.
    const bool pixelsKeepProfileSpace = !options_.useEmbeddedColorManagement && layout_ != Layout::Cmyk;
    if (!icc_.empty() && pixelsKeepProfileSpace) properties_.Set(PropertyTagICCProfile, PropertyTagTypeByte, icc_);
    AddQuantizationTables(cinfo_, properties_);
    if (const std::optional<Resolution> resolution = FindResolution(cinfo_, properties_)) {
      frame_.dpiX = resolution->dpiX;
      frame_.dpiY = resolution->dpiY;
      frame_.flags |= ImageFlagsHasRealDPI;
    }
    if (layout_ == Layout::Cmyk) {
      // Adobe applications write the APP14 marker and store CMYK inverted.
      const bool inverted = cinfo_.saw_Adobe_marker != 0;
      invertedCmyk_ = inverted;
      if (options_.useEmbeddedColorManagement && !icc_.empty()) cmykProfile_ = CmykToSrgb::Create(icc_, inverted);
      cmykLine_.resize(std::size_t{cinfo_.image_width} * 4);
    } else {
      rows_.resize(cinfo_.image_height);
      for (std::uint32_t y = 0; y < cinfo_.image_height; ++y) rows_[y] = frame_.pixels.Row(y);
    }
  }

  // libjpeg writes B, G, R (or grey) bytes straight into the frame's rows.
  void ReadRowsInPlace() {
    const JDIMENSION height = cinfo_.output_height;
    while (cinfo_.output_scanline < height) {
      const JDIMENSION done = cinfo_.output_scanline;
      if (jpeg_read_scanlines(&cinfo_, rows_.data() + done, height - done) == 0) break;
    }
  }

  void ReadCmykRows() {
    JSAMPROW line = cmykLine_.data();
    while (cinfo_.output_scanline < cinfo_.output_height) {
      std::uint8_t* row = frame_.pixels.Row(cinfo_.output_scanline);
      if (jpeg_read_scanlines(&cinfo_, &line, 1) == 0) break;
      if (cmykProfile_) {
        cmykProfile_->Convert(line, row, cinfo_.output_width);
      } else {
        CmykToBgrWithoutProfile(line, row, cinfo_.output_width, invertedCmyk_);
      }
    }
  }

  // CMYK profiles were applied while converting the rows.
  void ApplyColorManagement() {
    if (!options_.useEmbeddedColorManagement || icc_.empty() || layout_ == Layout::Cmyk) return;
    ApplyIccProfile(frame_, icc_);
  }

  const EncodedBytes& data_;
  const DecodeOptions& options_;
  JpegErrorManager errors_{};
  jpeg_decompress_struct cinfo_{};
  ScanWork scanWork_;
  BudgetReservation coefficients_;
  Layout layout_ = Layout::Bgr;
  bool invertedCmyk_ = false;
  Frame frame_;
  PropertyStore properties_;
  std::vector<std::uint8_t> icc_;
  std::vector<JSAMPROW> rows_;
  std::vector<JSAMPLE> cmykLine_;
  std::unique_ptr<CmykToSrgb> cmykProfile_;
};

}  // namespace

GpStatus DecodeJpeg(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out) {
  LoadBudgetScope budget;  // joins the load around it; a call outside a load gets a budget of its own
  if (!data || data->empty()) return InvalidParameter;
  JpegDecoder decoder(data, options);
  return decoder.Run(out);
}

}  // namespace pixavue::platform::gdiplus
