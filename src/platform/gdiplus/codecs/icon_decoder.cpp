// ICO and CUR files: the best image of the directory (icon_directory.h) as
// 32bppARGB at 96 dpi. PNG images keep their decoded pixels. DIB images use
// their own alpha when they are 32-bit with any non-zero alpha, else the
// AND mask (1 = transparent; a missing or short mask leaves every pixel
// opaque). A cursor's hotspot is not used. A PNG image is decoded straight
// to 32bppARGB and a DIB already in that format is kept, so a large entry
// is never held twice.

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include <vector>

#include "../codec.h"
#include "../load_budget.h"
#include "../pixel_convert.h"
#include "../pixel_index.h"
#include "dib.h"
#include "icon_directory.h"
#include "png_frame_decoder.h"

namespace pixavue::platform::gdiplus {
namespace {

GpRect WholeOf(const Frame& frame) {
  return GpRect{0, 0, static_cast<INT>(frame.pixels.width()), static_cast<INT>(frame.pixels.height())};
}

ARGB* ArgbRow(const Frame& frame, std::uint32_t y) { return reinterpret_cast<ARGB*>(frame.pixels.Row(y)); }

bool AnyAlpha(const Frame& frame) {
  for (std::uint32_t y = 0; y < frame.pixels.height(); ++y) {
    const ARGB* row = ArgbRow(frame, y);
    for (std::uint32_t x = 0; x < frame.pixels.width(); ++x) {
      if ((row[x] >> 24) != 0) return true;
    }
  }
  return false;
}

// Pixels whose mask bit is 1 become transparent, the others opaque.
void ApplyAndMask(std::span<const std::uint8_t> dib, const DibLayout& layout, Frame& frame) {
  const std::size_t rowBytes = (std::size_t{layout.width} + 31) / 32 * 4;
  const std::size_t maskBytes = rowBytes * layout.height;
  const bool present = layout.maskOffset <= dib.size() && maskBytes <= dib.size() - layout.maskOffset;
  for (std::uint32_t y = 0; y < layout.height; ++y) {
    ARGB* row = ArgbRow(frame, y);
    const std::uint32_t storedRow = layout.topDown ? y : layout.height - 1 - y;
    const std::uint8_t* mask = present ? dib.data() + layout.maskOffset + storedRow * rowBytes : nullptr;
    for (std::uint32_t x = 0; x < layout.width; ++x) {
      const bool transparent = mask != nullptr && IndexAt<1>(mask, x) != 0;
      row[x] = transparent ? 0u : (row[x] | 0xFF000000u);
    }
  }
}

GpStatus DecodeDibEntry(std::span<const std::uint8_t> dib, Frame& out) {
  DibOptions options;
  options.icon = true;
  Frame decoded;
  DibLayout layout;
  GpStatus status = DecodeDib(dib, options, decoded, &layout);
  if (status != Ok) return status;
  const bool decodedWithAlpha = decoded.pixels.format() == PixelFormat32bppARGB;
  if (decodedWithAlpha) {
    out = std::move(decoded);
  } else {
    status = ConvertArea(decoded, WholeOf(decoded), PixelFormat32bppARGB, out);
    if (status != Ok) return status;
  }
  const bool ownAlpha = layout.bitCount == 32 && decodedWithAlpha && AnyAlpha(out);
  if (!ownAlpha) ApplyAndMask(dib, layout, out);
  return Ok;
}

GpStatus DecodePngEntry(std::span<const std::uint8_t> png, Frame& out) {
  return DecodePngFrame(png, DecodeOptions{}, PngPixels::Argb32, out);
}

}  // namespace

GpStatus DecodeIcon(const EncodedBytes& data, const DecodeOptions&, DecodedImage& out) {
  LoadBudgetScope budget;  // joins the load around it; a call outside a load gets a budget of its own
  if (!data) return InvalidParameter;
  IconEntry entry;
  GpStatus status = ChooseIconEntry(*data, entry);
  if (status != Ok) return status;
  Frame frame;
  status = entry.png ? DecodePngEntry(entry.bytes, frame) : DecodeDibEntry(entry.bytes, frame);
  if (status != Ok) return status;
  frame.dpiX = kDefaultDpi;
  frame.dpiY = kDefaultDpi;
  frame.flags = 0;
  out.rawFormat = ImageFormatIcon;
  out.frame = std::move(frame);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
