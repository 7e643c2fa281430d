// PNG decoding through libpng, from memory. Every colour type and depth
// maps to the closest pixel format: palettes stay indexed (tRNS becomes
// palette alpha), low-depth grey becomes a grey palette, 16-bit samples
// stay 16 bits. Samples are kept as stored (no gamma correction).
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "../codec.h"
#include "../icc.h"
#include "../image_limits.h"
#include "pixels_per_metre.h"
#include "png_common.h"

namespace pixavue::platform::gdiplus {
namespace {

// Feeds libpng from the encoded bytes; reading past the end is an error.
struct MemorySource final {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "unexpected end of file");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

// How libpng's output becomes frame pixels.
struct PngPlan final {
  PixelFormat format = PixelFormatUndefined;
  bool expand = false;      // low-depth grey to 8 bits, tRNS to alpha
  bool greyToRgb = false;
  bool packing = false;     // one byte a sample for depths below 8
  bool bgr = false;
  bool swap16 = false;      // 16-bit samples little-endian
  bool widen2To4 = false;   // 2-bit indices stored as 4-bit
  bool filePalette = false;
  int greyLevels = 0;       // grey palette of this many entries
  int colourType = 0;       // as stored in the file
  int depth = 0;
};

// The functions that call setjmp hold only plain data, so a longjmp from a
// libpng error skips no destructor.
bool ReadInfoGuarded(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  return true;
}

bool ApplyPlanGuarded(png_structp png, png_infop info, const PngPlan& plan) {
  if (setjmp(png_jmpbuf(png))) return false;
  if (plan.expand) png_set_expand(png);
  if (plan.greyToRgb) png_set_gray_to_rgb(png);
  if (plan.packing) png_set_packing(png);
  if (plan.bgr) png_set_bgr(png);
  if (plan.swap16) png_set_swap(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return true;
}

bool ReadImageGuarded(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

PngPlan PlanGrey(int depth, bool transparent) {
  PngPlan plan;
  if (transparent || depth == 16) {
    plan.format = depth == 16 ? (transparent ? PixelFormat64bppARGB : PixelFormat48bppRGB) : PixelFormat32bppARGB;
    plan.expand = transparent;
    plan.greyToRgb = true;
    plan.swap16 = depth == 16;
    return plan;
  }
  plan.format = depth == 1 ? PixelFormat1bppIndexed : PixelFormat8bppIndexed;
  plan.packing = depth == 2 || depth == 4;
  plan.greyLevels = 1 << depth;
  return plan;
}

PngPlan PlanColour(int colourType, int depth, bool transparent) {
  PngPlan plan;
  const bool alpha = colourType == PNG_COLOR_TYPE_RGB_ALPHA || colourType == PNG_COLOR_TYPE_GRAY_ALPHA || transparent;
  if (depth == 16) {
    plan.format = alpha ? PixelFormat64bppARGB : PixelFormat48bppRGB;
  } else {
    plan.format = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
  }
  plan.expand = transparent;
  plan.greyToRgb = colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
  plan.bgr = true;
  plan.swap16 = depth == 16;
  return plan;
}

PngPlan PlanPalette(int depth) {
  PngPlan plan;
  plan.filePalette = true;
  switch (depth) {
    case 1: plan.format = PixelFormat1bppIndexed; break;
    case 2:
      plan.format = PixelFormat4bppIndexed;
      plan.packing = true;
      plan.widen2To4 = true;
      break;
    case 4: plan.format = PixelFormat4bppIndexed; break;
    default: plan.format = PixelFormat8bppIndexed; break;
  }
  return plan;
}

PngPlan MakePlan(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool transparent = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  PngPlan plan;
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    plan = PlanPalette(depth);
  } else if (colourType == PNG_COLOR_TYPE_GRAY) {
    plan = PlanGrey(depth, transparent);
  } else {
    plan = PlanColour(colourType, depth, transparent);
  }
  plan.colourType = colourType;
  plan.depth = depth;
  return plan;
}

std::vector<ARGB> FilePalette(png_structp png, png_infop info, std::size_t maxEntries) {
  png_colorp colours = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &colours, &count) == 0 || colours == nullptr) return {};
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  if (png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) == 0 || alphas == nullptr) alphaCount = 0;
  std::vector<ARGB> palette(std::min<std::size_t>(static_cast<std::size_t>(count), maxEntries));
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const ARGB alpha = static_cast<int>(i) < alphaCount ? alphas[i] : 0xFF;
    palette[i] = (alpha << 24) | (ARGB{colours[i].red} << 16) | (ARGB{colours[i].green} << 8) | colours[i].blue;
  }
  return palette;
}

std::vector<ARGB> GreyPalette(int levels) {
  std::vector<ARGB> palette(static_cast<std::size_t>(levels));
  for (int i = 0; i < levels; ++i) {
    const ARGB v = static_cast<ARGB>(i * 255 / (levels - 1));
    palette[static_cast<std::size_t>(i)] = 0xFF000000u | (v << 16) | (v << 8) | v;
  }
  return palette;
}

void SetPalette(png_structp png, png_infop info, const PngPlan& plan, Frame& frame) {
  if (plan.greyLevels != 0) {
    frame.palette = GreyPalette(plan.greyLevels);
    frame.paletteFlags = PaletteFlagsGrayScale;
  } else if (plan.filePalette) {
    frame.palette = FilePalette(png, info, std::size_t{1} << plan.depth);
    const bool alpha = std::any_of(frame.palette.begin(), frame.palette.end(), [](ARGB c) { return c >> 24 != 0xFF; });
    if (alpha) frame.paletteFlags |= PaletteFlagsHasAlpha;
  }
}

void SetResolution(png_structp png, png_infop info, Frame& frame) {
  png_uint_32 x = 0;
  png_uint_32 y = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &x, &y, &unit) == 0 || unit != PNG_RESOLUTION_METER || x == 0 || y == 0) return;
  frame.dpiX = DpiFromPixelsPerMetre(x);
  frame.dpiY = DpiFromPixelsPerMetre(y);
  frame.flags |= ImageFlagsHasRealDPI;
}

// Packs one byte a pixel (2-bit indices) into 4-bit indices.
void PackNibbles(const PixelBuffer& bytes, PixelBuffer& nibbles) {
  for (std::uint32_t y = 0; y < bytes.height(); ++y) {
    const std::uint8_t* in = bytes.Row(y);
    std::uint8_t* out = nibbles.Row(y);
    for (std::uint32_t x = 0; x < bytes.width(); ++x) {
      out[x / 2] = static_cast<std::uint8_t>(out[x / 2] | ((in[x] & 0x0F) << ((x & 1) != 0 ? 0 : 4)));
    }
  }
}

// Decodes the pixels into `pixels` (allocated here) following `plan`.
GpStatus ReadPixels(png_structp png, png_infop info, const PngPlan& plan, PixelBuffer& pixels) {
  const std::uint32_t width = png_get_image_width(png, info);
  const std::uint32_t height = png_get_image_height(png, info);
  const PixelFormat target = plan.widen2To4 ? PixelFormat8bppIndexed : plan.format;
  auto buffer = PixelBuffer::Allocate(target, width, height);
  if (!buffer) return OutOfMemory;
  // libpng's rows must be exactly the frame's rows.
  if (png_get_rowbytes(png, info) != (std::uint64_t{width} * GetPixelFormatSize(target) + 7) / 8) {
    return InvalidParameter;
  }
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) rows[y] = buffer->Row(y);
  if (!ReadImageGuarded(png, rows.data())) return InvalidParameter;
  if (!plan.widen2To4) {
    pixels = std::move(*buffer);
    return Ok;
  }
  auto nibbles = PixelBuffer::Allocate(plan.format, width, height);
  if (!nibbles) return OutOfMemory;
  PackNibbles(*buffer, *nibbles);
  pixels = std::move(*nibbles);
  return Ok;
}

std::vector<std::uint8_t> IccProfile(png_structp png, png_infop info) {
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 length = 0;
  if (png_get_iCCP(png, info, &name, &compression, &profile, &length) == 0 || profile == nullptr) return {};
  return std::vector<std::uint8_t>(profile, profile + length);
}

// libpng refuses sides over the user limits as corrupt; they are images
// too large for us, so the IHDR size is checked first.
bool ExceedsSizeLimits(const std::vector<std::uint8_t>& data) {
  constexpr std::size_t kIhdrType = 12;
  constexpr std::size_t kIhdrWidth = 16;
  if (data.size() < kIhdrWidth + 8 || std::memcmp(data.data() + kIhdrType, "IHDR", 4) != 0) return false;
  const png_uint_32 width = png_get_uint_32(data.data() + kIhdrWidth);
  const png_uint_32 height = png_get_uint_32(data.data() + kIhdrWidth + 4);
  return CheckImageSize(width, height) == OutOfMemory;
}

GpStatus DecodeFrame(PngReadStructs& reader, const DecodeOptions& options, Frame& frame) {
  png_structp png = reader.png();
  png_infop info = reader.info();
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  if (!ReadInfoGuarded(png, info)) return InvalidParameter;
  const GpStatus size = CheckImageSize(png_get_image_width(png, info), png_get_image_height(png, info));
  if (size != Ok) return size;
  const PngPlan plan = MakePlan(png, info);
  if (!ApplyPlanGuarded(png, info, plan)) return InvalidParameter;
  const GpStatus status = ReadPixels(png, info, plan, frame.pixels);
  if (status != Ok) return status;
  SetPalette(png, info, plan, frame);
  SetResolution(png, info, frame);
  frame.flags |= (plan.colourType & PNG_COLOR_MASK_COLOR) != 0 ? ImageFlagsColorSpaceRGB : ImageFlagsColorSpaceGRAY;
  if (options.useEmbeddedColorManagement) {
    const std::vector<std::uint8_t> profile = IccProfile(png, info);
    if (!profile.empty()) return ApplyIccProfile(frame, profile);
  }
  return Ok;
}

}  // namespace

GpStatus DecodePng(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out) {
  if (!data) return InvalidParameter;
  if (ExceedsSizeLimits(*data)) return OutOfMemory;
  PngReadStructs reader;
  if (!reader.valid()) return OutOfMemory;
  MemorySource source{data->data(), data->size(), 0};
  png_set_read_fn(reader.png(), &source, ReadFromMemory);
  Frame frame;
  const GpStatus status = DecodeFrame(reader, options, frame);
  if (status != Ok) return status;
  out.rawFormat = ImageFormatPNG;
  out.frame = std::move(frame);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
