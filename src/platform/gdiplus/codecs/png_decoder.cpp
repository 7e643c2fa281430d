// PNG decoding through libpng, from memory. Every colour type and depth
// maps to the closest pixel format: palettes stay indexed (tRNS becomes
// palette alpha), low-depth grey becomes a grey palette, 16-bit samples
// stay 16 bits. Samples are kept as stored (no gamma correction).
//
// Memory follows what the file holds: chunk lengths are checked against the
// bytes before libpng sees them, chunks the decoder has no use for are
// skipped unread, libpng allocates through the load's budget and decodes
// straight into the frame's rows (interlaced passes too).
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "../codec.h"
#include "../icc.h"
#include "../image_limits.h"
#include "../load_budget.h"
#include "pixels_per_metre.h"
#include "png_chunk_layout.h"
#include "png_common.h"
#include "png_frame_decoder.h"

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
  bool toArgb32 = false;    // every layout to 8-bit B, G, R, A
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

// Expands palettes and grey, scales 16-bit samples as the pixel converter
// narrows them (rounded), and fills in opaque alpha.
void SetArgb32Transforms(png_structp png, png_infop info) {
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  const bool alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                     png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (!alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
}

bool ApplyPlanGuarded(png_structp png, png_infop info, const PngPlan& plan) {
  if (setjmp(png_jmpbuf(png))) return false;
  if (plan.toArgb32) {
    SetArgb32Transforms(png, info);
  } else {
    if (plan.expand) png_set_expand(png);
    if (plan.greyToRgb) png_set_gray_to_rgb(png);
    if (plan.packing) png_set_packing(png);
    if (plan.bgr) png_set_bgr(png);
    if (plan.swap16) png_set_swap(png);
  }
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
      plan.widen2To4 = true;
      break;
    case 4: plan.format = PixelFormat4bppIndexed; break;
    default: plan.format = PixelFormat8bppIndexed; break;
  }
  return plan;
}

PngPlan MakePlan(png_structp png, png_infop info, PngPixels pixels) {
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool transparent = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  PngPlan plan;
  if (pixels == PngPixels::Argb32) {
    plan.format = PixelFormat32bppARGB;
    plan.toArgb32 = true;
  } else if (colourType == PNG_COLOR_TYPE_PALETTE) {
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
  if (plan.toArgb32) return;
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

// Spreads the 2-bit indices libpng wrote at the start of a row (four a
// byte) over the row as 4-bit indices (two a byte). Output byte `pair` comes
// from input byte pair / 2, so working from the end never overwrites an
// input byte before it is read.
void Widen2To4InPlace(std::uint8_t* row, std::uint32_t width) {
  const std::uint32_t pairs = (width + 1) / 2;
  for (std::uint32_t pair = pairs; pair-- > 0;) {
    const unsigned twoPixels = (row[pair / 2] >> ((pair % 2 == 0) ? 4 : 0)) & 0x0Fu;
    row[pair] = static_cast<std::uint8_t>(((twoPixels >> 2) << 4) | (twoPixels & 0x03u));
  }
  if (width % 2 != 0) row[pairs - 1] &= 0xF0;  // no pixel after the last one
}

// Bytes of one of libpng's output rows as the plan expects them.
std::uint64_t ExpectedRowBytes(const PngPlan& plan, std::uint32_t width) {
  const std::uint64_t bits = plan.widen2To4 ? 2 : GetPixelFormatSize(plan.format);
  return (std::uint64_t{width} * bits + 7) / 8;
}

// Decodes the pixels into `pixels` (allocated here) following `plan`.
GpStatus ReadPixels(png_structp png, png_infop info, const PngPlan& plan, PixelBuffer& pixels) {
  const std::uint32_t width = png_get_image_width(png, info);
  const std::uint32_t height = png_get_image_height(png, info);
  auto buffer = PixelBuffer::Allocate(plan.format, width, height);
  if (!buffer) return OutOfMemory;
  // libpng writes each row in place, so its rows must be exactly ours.
  if (png_get_rowbytes(png, info) != ExpectedRowBytes(plan, width)) return InvalidParameter;
  auto rowTable = BudgetReservation::Take(std::uint64_t{height} * sizeof(png_bytep));
  if (!rowTable) return OutOfMemory;
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) rows[y] = buffer->Row(y);
  if (!ReadImageGuarded(png, rows.data())) return InvalidParameter;
  if (plan.widen2To4) {
    for (std::uint32_t y = 0; y < height; ++y) Widen2To4InPlace(buffer->Row(y), width);
  }
  pixels = std::move(*buffer);
  return Ok;
}

// Chunks whose contents the decoder never uses are skipped unread, so that
// text, palettes of suggestions and the like cost nothing whatever they
// hold; the colour profile only matters when it is applied.
void SkipUnusedChunks(png_structp png, const DecodeOptions& options) {
  static constexpr png_byte kUnused[] = "tEXt\0zTXt\0iTXt\0sPLT\0eXIf\0tIME\0hIST\0sCAL\0pCAL\0sTER\0";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnused, static_cast<int>(sizeof kUnused / 5));
  if (!options.useEmbeddedColorManagement) {
    static constexpr png_byte kProfile[] = "iCCP";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kProfile, 1);
  }
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
bool ExceedsSizeLimits(std::span<const std::uint8_t> data) {
  constexpr std::size_t kIhdrType = 12;
  constexpr std::size_t kIhdrWidth = 16;
  if (data.size() < kIhdrWidth + 8 || std::memcmp(data.data() + kIhdrType, "IHDR", 4) != 0) return false;
  const png_uint_32 width = png_get_uint_32(data.data() + kIhdrWidth);
  const png_uint_32 height = png_get_uint_32(data.data() + kIhdrWidth + 4);
  return CheckImageSize(width, height) == OutOfMemory;
}

GpStatus DecodeFrame(PngReadStructs& reader, const DecodeOptions& options, PngPixels pixels, Frame& frame) {
  png_structp png = reader.png();
  png_infop info = reader.info();
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  SkipUnusedChunks(png, options);
  if (!ReadInfoGuarded(png, info)) return InvalidParameter;
  const GpStatus size = CheckImageSize(png_get_image_width(png, info), png_get_image_height(png, info));
  if (size != Ok) return size;
  const PngPlan plan = MakePlan(png, info, pixels);
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

GpStatus DecodePngFrame(std::span<const std::uint8_t> file, const DecodeOptions& options, PngPixels pixels,
                        Frame& frame) {
  if (ExceedsSizeLimits(file)) return OutOfMemory;
  if (!ChunksLieInsideFile(file)) return InvalidParameter;
  PngReadStructs reader;
  if (!reader.valid()) return OutOfMemory;
  MemorySource source{file.data(), file.size(), 0};
  png_set_read_fn(reader.png(), &source, ReadFromMemory);
  return DecodeFrame(reader, options, pixels, frame);
}

GpStatus DecodePng(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out) {
  LoadBudgetScope budget;  // joins the load around it; a call outside a load gets a budget of its own
  if (!data) return InvalidParameter;
  Frame frame;
  const GpStatus status = DecodePngFrame(*data, options, PngPixels::Closest, frame);
  if (status != Ok) return status;
  out.rawFormat = ImageFormatPNG;
  out.frame = std::move(frame);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
