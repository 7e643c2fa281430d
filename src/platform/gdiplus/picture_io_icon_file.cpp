#include "picture_io_icon_file.h"

#include <cstring>
#include <new>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

#include "byte_reader.h"
#include "codecs/icon_directory.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::uint16_t kCursorType = 2;

// Pixels of a bitmap as top-down 0xAARRGGBB rows.
struct Pixels32 final {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> values;
};

std::optional<Pixels32> ReadPixels(HBITMAP bitmap) {
  BITMAP description;
  if (GetObject(ToGdiObject(bitmap), sizeof(description), &description) == 0) return std::nullopt;
  Pixels32 out{description.bmWidth, description.bmHeight, {}};
  out.values.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  BITMAPINFO info;
  info.bmiHeader.biWidth = out.width;
  info.bmiHeader.biHeight = -out.height;
  info.bmiHeader.biBitCount = 32;
  const HDC screen = GetDC(kNoWindow);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(out.height), out.values.data(), &info,
                             DIB_RGB_COLORS);
  ReleaseDC(kNoWindow, screen);
  if (rows != out.height) return std::nullopt;
  return out;
}

bool HasAlpha(HBITMAP bitmap, const Pixels32& pixels) {
  const std::optional<GdiPixels> own = BitmapPixels(bitmap);
  if (!own || own->bitsPerPixel != 32) return false;
  for (std::uint32_t value : pixels.values) {
    if ((value >> 24) != 0) return true;
  }
  return false;
}

// The colour and mask of an icon, as GetIconInfo hands them out (copies).
class IconParts final {
 public:
  explicit IconParts(HICON icon) : valid_(GetIconInfo(icon, &info_) != 0) {}
  ~IconParts() {
    if (!valid_) return;
    DeleteObject(ToGdiObject(info_.hbmMask));
    DeleteObject(ToGdiObject(info_.hbmColor));
  }
  IconParts(const IconParts&) = delete;
  IconParts& operator=(const IconParts&) = delete;

  bool valid() const { return valid_; }
  const ICONINFO& info() const { return info_; }

 private:
  ICONINFO info_;
  bool valid_;
};

// 0xAARRGGBB pixels (top-down) and AND mask bits of the icon's image.
struct IconImage final {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  std::vector<bool> transparent;
};

std::optional<IconImage> ImageOf(const IconParts& parts) {
  const std::optional<Pixels32> mask = ReadPixels(parts.info().hbmMask);
  if (!mask) return std::nullopt;
  const bool monochrome = parts.info().hbmColor == HBITMAP{};
  std::optional<Pixels32> colour = monochrome ? std::nullopt : ReadPixels(parts.info().hbmColor);
  if (!monochrome && (!colour || colour->width != mask->width || colour->height > mask->height)) {
    return std::nullopt;
  }
  IconImage image{mask->width, monochrome ? mask->height / 2 : colour->height, {}, {}};
  const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  const bool ownAlpha = !monochrome && HasAlpha(parts.info().hbmColor, *colour);
  image.argb.resize(count);
  image.transparent.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    image.transparent[i] = (mask->values[i] & 0xFFFFFF) != 0;
    // A monochrome icon's XOR half lies below its AND half.
    const std::uint32_t rgb = monochrome ? mask->values[i + count] & 0xFFFFFF : colour->values[i] & 0xFFFFFF;
    const std::uint32_t alpha = ownAlpha ? colour->values[i] >> 24 : (image.transparent[i] ? 0 : 255);
    image.argb[i] = alpha << 24 | rgb;
  }
  return image;
}

class LittleEndianWriter final {
 public:
  void U8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void U16(std::uint32_t v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> FileOf(const IconImage& image, const ICONINFO& info) {
  const auto width = static_cast<std::uint32_t>(image.width), height = static_cast<std::uint32_t>(image.height);
  const std::uint32_t maskStride = (width + 31) / 32 * 4;
  const std::uint32_t imageBytes = static_cast<std::uint32_t>(sizeof(BITMAPINFOHEADER)) + width * height * 4 +
                                   maskStride * height;
  const bool cursor = info.fIcon == 0;
  LittleEndianWriter out;
  out.bytes.reserve(kDirectoryBytes + kEntryBytes + imageBytes);
  out.U16(0);
  out.U16(cursor ? kCursorType : 1);
  out.U16(1);
  out.U8(width >= 256 ? 0 : width);  // 0 stands for 256 (and more)
  out.U8(height >= 256 ? 0 : height);
  out.U16(0);  // colour count, reserved
  out.U16(cursor ? info.xHotspot : 1);  // planes of an icon
  out.U16(cursor ? info.yHotspot : 32);  // bits a pixel of an icon
  out.U32(imageBytes);
  out.U32(kDirectoryBytes + kEntryBytes);
  for (std::uint32_t v : {40u, width, height * 2, 1u | 32u << 16, 0u, width * height * 4 + maskStride * height,
                          0u, 0u, 0u, 0u}) {
    out.U32(v);
  }
  for (std::uint32_t row = height; row-- > 0;) {  // bottom-up
    for (std::uint32_t x = 0; x < width; ++x) out.U32(image.argb[row * width + x]);
  }
  for (std::uint32_t row = height; row-- > 0;) {
    std::vector<std::uint8_t> bits(maskStride);
    for (std::uint32_t x = 0; x < width; ++x) {
      if (image.transparent[row * width + x]) bits[x / 8] = static_cast<std::uint8_t>(bits[x / 8] | 0x80 >> (x % 8));
    }
    out.bytes.insert(out.bytes.end(), bits.begin(), bits.end());
  }
  return std::move(out.bytes);
}

}  // namespace

std::optional<IconKind> ReadIconKind(std::span<const std::uint8_t> file) {
  IconEntry best;
  const ByteReader reader(file);
  const auto type = reader.U16At(2), count = reader.U16At(4);
  if (ChooseIconEntry(file, best) != Ok || !type || !count) return std::nullopt;
  if (*type != kCursorType) return IconKind{};
  const auto offset = static_cast<std::uint32_t>(best.bytes.data() - file.data());
  for (std::size_t i = 0; i < *count; ++i) {
    const std::size_t at = kDirectoryBytes + i * kEntryBytes;
    if (reader.U32At(at + 12) == offset) return IconKind{false, *reader.U16At(at + 4), *reader.U16At(at + 6)};
  }
  return IconKind{false, 0, 0};
}

std::optional<std::vector<std::uint8_t>> IconFileBytes(HICON icon) {
  try {
    const IconParts parts(icon);
    if (!parts.valid()) return std::nullopt;
    const std::optional<IconImage> image = ImageOf(parts);
    if (!image) return std::nullopt;
    return FileOf(*image, parts.info());
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace pixavue::platform::gdiplus
