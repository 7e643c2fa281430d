#include "emfplus_objects.h"

#include <bit>
#include <cmath>

#include "byte_reader.h"
#include "codec.h"
#include "codec_registry.h"
#include "frame.h"
#include "load_budget.h"
#include "metafile_bitmap.h"
#include "metafile_canvas.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus::emfplus {
namespace {

enum BrushType : std::uint32_t { kSolid = 0, kHatch = 1, kLinearGradient = 4 };
// Optional fields of a linear gradient brush and of a pen, in file order.
constexpr std::uint32_t kBrushTransform = 0x0002;
constexpr std::uint32_t kPenTransform = 0x0001, kPenStartCap = 0x0002, kPenEndCap = 0x0004, kPenJoin = 0x0008,
                        kPenMiterLimit = 0x0010, kPenLineStyle = 0x0020, kPenDashedLineCap = 0x0040,
                        kPenDashOffset = 0x0080, kPenDashedLine = 0x0100, kPenAlignment = 0x0200,
                        kPenCompoundLine = 0x0400, kPenCustomStartCap = 0x0800, kPenCustomEndCap = 0x1000;
constexpr std::uint16_t kPathRunLengthTypes = 0x1000;
constexpr std::uint32_t kImageBitmap = 1;
constexpr std::uint32_t kBitmapCompressed = 1;
// Dash and compound arrays longer than this are refused.
constexpr std::uint32_t kMaxDashes = 64;
constexpr double kMaxPenWidth = 1e6;
// Work units of decoding one image pixel, and of keeping it in the table.
constexpr std::uint64_t kDecodePixelCost = 8;
constexpr std::uint64_t kParsePointCost = 4;

class Cursor final {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : reader_(bytes) {}
  std::optional<std::uint32_t> U32() { return reader_.U32(); }
  std::optional<double> Float() {
    const auto bits = reader_.U32();
    if (!bits) return std::nullopt;
    const float v = std::bit_cast<float>(*bits);
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
  }
  std::optional<Transform> Matrix() {
    double v[6];
    for (double& e : v) {
      const auto f = Float();
      if (!f) return std::nullopt;
      e = *f;
    }
    return Transform{v[0], v[1], v[2], v[3], v[4], v[5]};
  }
  bool Skip(std::uint64_t count) { return count <= reader_.remaining() && reader_.Skip(static_cast<std::size_t>(count)); }
  std::span<const std::uint8_t> Rest() const { return reader_.data().subspan(reader_.position()); }

 private:
  ByteReader reader_;
};

ARGB Blend(ARGB a, ARGB b) {
  ARGB out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
  return out;
}

// Version, type, then the type's data. Hatches are drawn as the blend of
// their two colours.
std::optional<Brush> ParseBrush(Cursor& in) {
  const auto version = in.U32(), type = in.U32();
  if (!version || !type) return std::nullopt;
  Brush brush;
  if (*type == kSolid) {
    const auto color = in.U32();
    if (!color) return std::nullopt;
    brush.color = *color;
    return brush;
  }
  if (*type == kHatch) {
    const auto style = in.U32(), fore = in.U32(), back = in.U32();
    if (!style || !fore || !back) return std::nullopt;
    brush.color = Blend(*fore, *back);
    return brush;
  }
  if (*type != kLinearGradient) return std::nullopt;
  // Flags, wrap mode, rectangle, start and end colours, two reserved
  // colours, then the optional transform (blend factors are not drawn).
  const auto flags = in.U32(), wrap = in.U32();
  const auto x = in.Float(), y = in.Float(), w = in.Float(), h = in.Float();
  const auto start = in.U32(), end = in.U32();
  if (!flags || !wrap || !x || !y || !w || !h || !start || !end || !in.Skip(8)) return std::nullopt;
  brush.kind = Brush::Kind::LinearGradient;
  brush.wrapMode = *wrap;
  brush.rect = RectF{*x, *y, *w, *h};
  brush.startColor = *start;
  brush.endColor = *end;
  brush.color = Blend(*start, *end);
  if ((*flags & kBrushTransform) != 0) {
    const auto t = in.Matrix();
    if (!t) return std::nullopt;
    brush.transform = *t;
  }
  return brush;
}

// A 32-bit count, then that many floats.
bool ReadFloatArray(Cursor& in, std::vector<double>* out) {
  const auto count = in.U32();
  if (!count || *count > kMaxDashes) return false;
  for (std::uint32_t i = 0; i < *count; ++i) {
    const auto v = in.Float();
    if (!v) return false;
    if (out) out->push_back(*v);
  }
  return true;
}

bool SkipSized(Cursor& in) {
  const auto bytes = in.U32();
  return bytes && in.Skip(*bytes);
}

bool ReadU32Into(Cursor& in, std::uint32_t& field) {
  const auto v = in.U32();
  if (v) field = *v;
  return v.has_value();
}

bool ReadPenOptions(Cursor& in, std::uint32_t flags, Pen& pen) {
  if ((flags & kPenTransform) != 0 && !in.Matrix()) return false;
  if ((flags & kPenStartCap) != 0 && !ReadU32Into(in, pen.startCap)) return false;
  if ((flags & kPenEndCap) != 0 && !ReadU32Into(in, pen.endCap)) return false;
  if ((flags & kPenJoin) != 0 && !ReadU32Into(in, pen.join)) return false;
  if ((flags & kPenMiterLimit) != 0) {
    const auto limit = in.Float();
    if (!limit) return false;
    pen.miterLimit = *limit;
  }
  if ((flags & kPenLineStyle) != 0 && !ReadU32Into(in, pen.lineStyle)) return false;
  if ((flags & kPenDashedLineCap) != 0 && !in.Skip(4)) return false;
  if ((flags & kPenDashOffset) != 0 && !in.Skip(4)) return false;
  if ((flags & kPenDashedLine) != 0 && !ReadFloatArray(in, &pen.dashes)) return false;
  if ((flags & kPenAlignment) != 0 && !in.Skip(4)) return false;
  if ((flags & kPenCompoundLine) != 0 && !ReadFloatArray(in, nullptr)) return false;
  if ((flags & kPenCustomStartCap) != 0 && !SkipSized(in)) return false;
  if ((flags & kPenCustomEndCap) != 0 && !SkipSized(in)) return false;
  return true;
}

// Version, type (0), flags, unit, width, the optional fields, the brush.
// The width is taken in world units whatever the unit.
std::optional<Pen> ParsePen(Cursor& in) {
  const auto version = in.U32(), type = in.U32(), flags = in.U32(), unit = in.U32();
  const auto width = in.Float();
  if (!version || !type || *type != 0 || !flags || !unit || !width) return std::nullopt;
  Pen pen;
  pen.width = std::fmin(std::fabs(*width), kMaxPenWidth);
  if (!ReadPenOptions(in, *flags, pen)) return std::nullopt;
  const auto brush = ParseBrush(in);
  if (!brush) return std::nullopt;
  pen.brush = *brush;
  return pen;
}

// Run-length encoded types: a byte with the run count in its low six bits,
// then the type.
bool ReadRunLengthTypes(std::span<const std::uint8_t> bytes, std::size_t count, std::vector<std::uint8_t>& types) {
  for (std::size_t at = 0; types.size() < count; at += 2) {
    if (bytes.size() < 2 || at > bytes.size() - 2) return false;
    const std::size_t run = std::min<std::size_t>(bytes[at] & 0x3F, count - types.size());
    types.insert(types.end(), run, bytes[at + 1]);
  }
  return true;
}

// Version, point count, flags, the points, then a type byte a point.
std::optional<Path> ParsePath(Cursor& in, ObjectContext& context) {
  const auto version = in.U32(), count = in.U32(), flags = in.U32();
  // Every point takes at least two bytes of the record.
  if (!version || !count || !flags || *count > in.Rest().size() / 2) return std::nullopt;
  auto reservation = BudgetReservation::Take(std::uint64_t{*count} * (sizeof(PointD) + 1));
  if (!reservation || !context.canvas.Charge(std::uint64_t{*count} * kParsePointCost)) return std::nullopt;
  std::size_t used = 0;
  const std::uint16_t pointFlags = static_cast<std::uint16_t>(*flags);
  auto points = ReadPoints(in.Rest(), *count, PointEncodingOf(pointFlags), &used);
  if (!points || !in.Skip(used)) return std::nullopt;
  Path path;
  path.reservation = std::move(*reservation);
  path.points = std::move(*points);
  const std::span<const std::uint8_t> rest = in.Rest();
  if ((pointFlags & kPathRunLengthTypes) != 0) {
    if (!ReadRunLengthTypes(rest, path.points.size(), path.types)) return std::nullopt;
  } else {
    if (rest.size() < path.points.size()) return std::nullopt;
    path.types.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(path.points.size()));
  }
  return path;
}

std::optional<PixelBuffer> ToPargb(const Frame& frame) {
  Frame converted;
  const GpRect all{0, 0, static_cast<INT>(frame.pixels.width()), static_cast<INT>(frame.pixels.height())};
  if (ConvertArea(frame, all, PixelFormat32bppPARGB, converted) != Ok) return std::nullopt;
  return std::move(converted.pixels);
}

// The bytes of a PNG, JPEG, GIF, TIFF or BMP file, decoded by our own
// decoders under the current load's budget.
std::optional<PixelBuffer> DecodeCompressed(std::span<const std::uint8_t> bytes) {
  const DecodeFunction decode = DecoderFor(bytes);
  if (decode == nullptr || decode == &DecodeMetafile) return std::nullopt;
  LoadBudgetScope scope;
  auto copy = BudgetReservation::Take(bytes.size());
  if (!copy) return std::nullopt;
  const EncodedBytes encoded = std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
  DecodedImage image;
  if (decode(encoded, DecodeOptions{}, image) != Ok || image.isMetafile) return std::nullopt;
  return ToPargb(image.frame);
}

// An optional palette (flags, count, colours), then rows of `stride` bytes.
std::optional<PixelBuffer> DecodeUncompressed(Cursor& in, std::uint32_t width, std::uint32_t height,
                                              std::int32_t stride, PixelFormat format) {
  const std::uint64_t bits = GetPixelFormatSize(format);
  if (bits == 0 || bits > 64 || stride <= 0 || std::uint64_t(stride) < (width * bits + 7) / 8) return std::nullopt;
  Frame frame;
  if (IsIndexedPixelFormat(format)) {
    const auto flags = in.U32(), count = in.U32();
    if (!flags || !count || *count > (1u << bits)) return std::nullopt;
    for (std::uint32_t i = 0; i < *count; ++i) {
      const auto color = in.U32();
      if (!color) return std::nullopt;
      frame.palette.push_back(*color);
    }
    frame.paletteFlags = *flags;
  }
  const std::span<const std::uint8_t> rows = in.Rest();
  if (std::uint64_t(stride) * height > rows.size()) return std::nullopt;
  frame.pixels = PixelBuffer::Wrap(format, width, height, stride, const_cast<std::uint8_t*>(rows.data()));
  return ToPargb(frame);
}

// Version, type, then for a bitmap: width, height, stride, pixel format,
// whether it is compressed, and its data.
std::optional<PixelBuffer> ParseImage(Cursor& in, ObjectContext& context) {
  const auto version = in.U32(), type = in.U32();
  if (!version || !type || *type != kImageBitmap) return std::nullopt;
  const auto width = in.U32(), height = in.U32(), stride = in.U32(), format = in.U32(), compressed = in.U32();
  if (!width || !height || !stride || !format || !compressed) return std::nullopt;
  const std::uint64_t pixels = std::uint64_t{*width} * *height;
  // Compressed bitmaps state their size again inside their own bytes; the
  // decoded size is checked after decoding.
  if (*compressed != kBitmapCompressed && (pixels == 0 || pixels > metafile::kMaxBlitPixels)) return std::nullopt;
  if (!context.canvas.Charge(std::max<std::uint64_t>(pixels, 1) * kDecodePixelCost)) return std::nullopt;
  auto decoded = *compressed == kBitmapCompressed
                     ? DecodeCompressed(in.Rest())
                     : DecodeUncompressed(in, *width, *height, static_cast<std::int32_t>(*stride), *format);
  if (!decoded) return std::nullopt;
  const std::uint64_t held = std::uint64_t{decoded->width()} * decoded->height();
  if (held > metafile::kMaxBlitPixels - std::min(context.imagePixelsHeld, metafile::kMaxBlitPixels) ||
      !context.canvas.Charge(held * kDecodePixelCost)) {
    return std::nullopt;
  }
  context.imagePixelsHeld += held;
  return decoded;
}

}  // namespace

std::optional<Object> ParseObject(ObjectType type, std::span<const std::uint8_t> bytes, ObjectContext& context) {
  Cursor in(bytes);
  Object object;
  object.type = type;
  switch (type) {
    case ObjectType::Brush: {
      auto brush = ParseBrush(in);
      if (!brush) return std::nullopt;
      object.brush = *brush;
      return object;
    }
    case ObjectType::Pen: {
      auto pen = ParsePen(in);
      if (!pen) return std::nullopt;
      object.pen = std::move(*pen);
      return object;
    }
    case ObjectType::Path: {
      auto path = ParsePath(in, context);
      if (!path) return std::nullopt;
      object.path = std::make_shared<const Path>(std::move(*path));
      return object;
    }
    case ObjectType::Image: {
      auto image = ParseImage(in, context);
      if (!image) return std::nullopt;
      object.image = std::make_shared<const PixelBuffer>(std::move(*image));
      return object;
    }
    case ObjectType::Region:
    case ObjectType::Font:
    case ObjectType::StringFormat:
    case ObjectType::ImageAttributes:
    case ObjectType::CustomLineCap: return object;
    default: return std::nullopt;
  }
}

void ObjectTable::Put(std::uint32_t id, Object object) {
  if (id < kObjectSlots) slots_[id] = std::move(object);
}

const Object* ObjectTable::Find(std::uint32_t id, ObjectType type) const {
  if (id >= kObjectSlots || slots_[id].type != type) return nullptr;
  return &slots_[id];
}

}  // namespace pixavue::platform::gdiplus::emfplus
