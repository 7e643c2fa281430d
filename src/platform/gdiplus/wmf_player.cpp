// Playback of Windows metafile records.
//
// A WMF has no device of its own: the frame (the placeable header's box,
// or the window the records set up) is drawn onto the whole output. The
// records' window origin and extent map logical coordinates onto that
// frame; their viewport records are ignored, since the viewport is the
// output itself, and every mapping mode but MM_ISOTROPIC maps like
// MM_ANISOTROPIC. Parameters of a record are stored last first.

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "metafile_bitmap.h"
#include "metafile_bitmap16.h"
#include "metafile_canvas.h"
#include "metafile_encoding.h"
#include "metafile_objects.h"
#include "metafile_play.h"
#include "metafile_record.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus {
namespace {

using namespace metafile;

enum Function : std::uint16_t {
  kEof = 0x0000,
  kRealizePalette = 0x0035,
  kSaveDc = 0x001E,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetPolyFillMode = 0x0106,
  kRestoreDc = 0x0127,
  kSelectObject = 0x012D,
  kInvertRegion = 0x012A,
  kPaintRegion = 0x012B,
  kSelectClipRegion = 0x012C,
  kSetTextAlign = 0x012E,
  kDibCreatePatternBrush = 0x0142,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kCreatePalette = 0x00F7,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kFillRegion = 0x0228,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kOffsetWindowOrg = 0x020F,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kFrameRegion = 0x0429,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kScaleWindowExt = 0x0410,
  kExcludeClipRect = 0x0415,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kCreateRegion = 0x06FF,
  kArc = 0x0817,
  kBitBlt = 0x0922,
  kStretchBlt = 0x0B23,
  kPie = 0x081A,
  kChord = 0x0830,
  kDibBitBlt = 0x0940,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
  kSetDibToDev = 0x0D33,
  kStretchDib = 0x0F43,
};

constexpr std::size_t kRecordHeaderBytes = 6;  // size in words, function
constexpr std::size_t kStandardHeaderBytes = 18;
constexpr std::size_t kPlaceableBytes = 22;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::uint64_t kRecordCost = 64;
constexpr std::size_t kFaceNameBytes = 32;
constexpr std::uint16_t kDibPalColors = 1;
constexpr std::uint32_t kBrushDibPattern = 5;
constexpr std::size_t kRegionHeaderBytes = 22;
constexpr std::size_t kScanFixedBytes = 8;  // count, top, bottom, count again

PointD PointAt(const RecordView& r, std::size_t offset) {  // y, then x
  return PointD{double(r.I16(offset + 2)), double(r.I16(offset))};
}

RectD RectAt(const RecordView& r, std::size_t offset) {  // bottom, right, top, left
  return RectD{double(r.I16(offset + 6)), double(r.I16(offset + 4)), double(r.I16(offset + 2)), double(r.I16(offset))};
}

class WmfPlayer final {
 public:
  explicit WmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}

  GpStatus Play(std::span<const std::uint8_t> data, std::size_t at) {
    const ByteReader reader(data);
    while (data.size() - at >= kRecordHeaderBytes) {
      const std::uint32_t words = *reader.U32At(at);
      const std::uint16_t function = *reader.U16At(at + 4);
      if (words < kRecordHeaderBytes / 2 || words > (data.size() - at) / 2) return InvalidParameter;
      if (function == kEof) return Ok;
      if (!canvas_.Charge(kRecordCost)) return Ok;
      const std::size_t bytes = std::size_t{words} * 2;
      Dispatch(function, RecordView(data.subspan(at + kRecordHeaderBytes, bytes - kRecordHeaderBytes)));
      if (canvas_.Exhausted()) return Ok;
      at += bytes;
    }
    return Ok;
  }

 private:
  DeviceState& state() { return canvas_.state(); }

  void Dispatch(std::uint16_t function, const RecordView& r) {
    if (PlayState(function, r) || PlayObject(function, r) || PlayShape(function, r)) return;
    PlayBitmapOrText(function, r);
  }

  bool PlayState(std::uint16_t function, const RecordView& r) {
    DeviceState& s = state();
    switch (function) {
      case kSetBkColor: s.backgroundColor = r.U32(0); return true;
      case kSetTextColor: s.textColor = r.U32(0); return true;
      case kSetBkMode: s.backgroundMode = r.U16(0); return true;
      case kSetPolyFillMode: s.fillMode = r.U16(0); return true;
      case kSetTextAlign: s.textAlign = r.U16(0); return true;
      case kSetMapMode: s.page.mode = r.U16(0) == kMapIsotropic ? kMapIsotropic : kMapAnisotropic; return true;
      case kSetWindowOrg:
        if (r.Has(0, 4)) s.page.windowOrigin = PointAt(r, 0);
        return true;
      case kSetWindowExt:
        if (const PointD e = PointAt(r, 0); r.Has(0, 4) && e.x != 0 && e.y != 0) s.page.windowExtent = e;
        return true;
      case kOffsetWindowOrg:
        if (const PointD d = PointAt(r, 0); r.Has(0, 4)) {
          s.page.windowOrigin = PointD{s.page.windowOrigin.x + d.x, s.page.windowOrigin.y + d.y};
        }
        return true;
      case kScaleWindowExt: ScaleWindowExtent(r); return true;
      case kSaveDc: canvas_.SaveDC(); return true;
      case kRestoreDc: canvas_.RestoreDC(r.I16(0)); return true;
      case kMoveTo:
        if (r.Has(0, 4)) canvas_.MoveTo(PointAt(r, 0));
        return true;
      case kIntersectClipRect:
        if (r.Has(0, 8)) canvas_.IntersectClipRect(RectAt(r, 0));
        return true;
      case kExcludeClipRect:
        if (r.Has(0, 8)) canvas_.ExcludeClipRect(RectAt(r, 0));
        return true;
      default: return false;
    }
  }

  // yDenom, yNum, xDenom, xNum.
  void ScaleWindowExtent(const RecordView& r) {
    if (!r.Has(0, 8) || r.I16(0) == 0 || r.I16(4) == 0) return;
    PointD& extent = state().page.windowExtent;
    const PointD scaled{extent.x * r.I16(6) / r.I16(4), extent.y * r.I16(2) / r.I16(0)};
    if (scaled.x != 0 && scaled.y != 0) extent = scaled;
  }

  bool PlayObject(std::uint16_t function, const RecordView& r) {
    switch (function) {
      case kSelectObject:
        if (const GdiObject* object = objects_.Find(r.U16(0)); object != nullptr && r.Has(0, 2)) {
          SelectInto(*object, state());
        }
        return true;
      case kDeleteObject:
        if (r.Has(0, 2)) objects_.Delete(r.U16(0));
        return true;
      case kCreatePenIndirect: CreatePen(r); return true;
      case kCreateBrushIndirect: CreateBrush(r); return true;
      case kCreateFontIndirect: CreateFont(r); return true;
      case kDibCreatePatternBrush: CreatePatternBrush(r); return true;
      case kCreateRegion: {
        GdiObject object;
        object.kind = GdiObject::Kind::Region;
        object.region = r.Bytes(0, r.size());
        objects_.Add(std::move(object));
        return true;
      }
      case kCreatePatternBrush:
      case kCreatePalette:
        // Not drawn with, but they take a slot of the table.
        objects_.Add(GdiObject{});
        return true;
      default: return false;
    }
  }

  void CreatePen(const RecordView& r) {
    if (!r.Has(0, 10)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Pen;
    object.pen = Pen{r.U16(0), std::fabs(double(r.I16(2))), r.U32(6)};
    objects_.Add(std::move(object));
  }

  void CreateBrush(const RecordView& r) {
    if (!r.Has(0, 8)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.brush = Brush{r.U16(0), r.U32(2), r.U16(6), nullptr};
    objects_.Add(std::move(object));
  }

  void CreateFont(const RecordView& r) {
    if (!r.Has(0, 18)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Font;
    Font& font = object.font;
    font.height = r.I16(0);
    font.escapement = r.I16(4);
    font.weight = r.I16(8);
    font.italic = r.U8(10) != 0;
    font.underline = r.U8(11) != 0;
    font.strikeOut = r.U8(12) != 0;
    font.charset = r.U8(13);
    font.pitchAndFamily = r.U8(17);
    auto face = r.Bytes(18, std::min<std::size_t>(kFaceNameBytes, r.size() - 18));
    const auto end = std::find(face.begin(), face.end(), std::uint8_t{0});
    font.face = TextFromCharset(face.first(static_cast<std::size_t>(end - face.begin())), font.charset);
    objects_.Add(std::move(object));
  }

  // Style, colour usage, then a packed DIB.
  void CreatePatternBrush(const RecordView& r) {
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.brush = Brush{kBrushDibPattern, 0x808080, 0, nullptr};
    if (r.Has(0, 4) && r.U16(2) != kDibPalColors) {
      object.brush.pattern = DecodePattern(canvas_, r.Bytes(4, r.size() - 4), {});
    }
    // A pattern that does not decode paints a neutral grey.
    if (!object.brush.pattern) object.brush.style = kBrushSolid;
    objects_.Add(std::move(object));
  }

  bool PlayShape(std::uint16_t function, const RecordView& r) {
    switch (function) {
      case kLineTo:
        if (r.Has(0, 4)) canvas_.LineTo(PointAt(r, 0));
        return true;
      case kRectangle:
        if (r.Has(0, 8)) canvas_.Rectangle(RectAt(r, 0));
        return true;
      case kEllipse:
        if (r.Has(0, 8)) canvas_.Ellipse(RectAt(r, 0));
        return true;
      case kRoundRect:
        if (r.Has(0, 12)) canvas_.RoundRect(RectAt(r, 4), PointD{double(r.I16(2)), double(r.I16(0))});
        return true;
      case kArc: PlayArc(ArcKind::Arc, r); return true;
      case kPie: PlayArc(ArcKind::Pie, r); return true;
      case kChord: PlayArc(ArcKind::Chord, r); return true;
      case kPolygon:
      case kPolyline: {
        const auto points = Points16(r, 2, r.U16(0));
        if (points.empty()) return true;
        function == kPolygon ? canvas_.Polygon(points) : canvas_.Polyline(points);
        return true;
      }
      case kPolyPolygon: PlayPolyPolygon(r); return true;
      case kSetPixel:
        if (r.Has(0, 8)) canvas_.SetPixel(PointAt(r, 4), r.U32(0));
        return true;
      default: return false;
    }
  }

  // yEnd, xEnd, yStart, xStart, then the box.
  void PlayArc(ArcKind kind, const RecordView& r) {
    if (r.Has(0, 16)) canvas_.Arc(kind, RectAt(r, 8), PointAt(r, 4), PointAt(r, 0));
  }

  void PlayPolyPolygon(const RecordView& r) {
    const std::uint16_t polygons = r.U16(0);
    if (!r.Has(2, std::size_t{polygons} * 2)) return;
    std::vector<std::uint32_t> counts(polygons);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < polygons; ++i) total += counts[i] = r.U16(2 + i * 2);
    const auto points = Points16(r, 2 + std::size_t{polygons} * 2, total);
    if (!points.empty()) canvas_.PolyPolygon(points, counts);
  }

  void PlayBitmapOrText(std::uint16_t function, const RecordView& r) {
    switch (function) {
      case kPatBlt:
        if (r.Has(0, 12)) {
          const PointD at = PointAt(r, 8), size = PointAt(r, 4);
          canvas_.PatBlt(RectD{at.x, at.y, at.x + size.x, at.y + size.y}, r.U32(0));
        }
        return;
      case kBitBlt: PlayBitBlt(r, BitmapKind::Device); return;
      case kStretchBlt: PlayStretchBlt(r, BitmapKind::Device); return;
      case kDibBitBlt: PlayBitBlt(r, BitmapKind::Dib); return;
      case kDibStretchBlt: PlayStretchBlt(r, BitmapKind::Dib); return;
      case kStretchDib: PlayStretchDib(r); return;
      case kSetDibToDev: PlaySetDibToDevice(r); return;
      case kFillRegion:
      case kPaintRegion:
      case kFrameRegion:
      case kInvertRegion: PlayRegion(function, r); return;
      case kSelectClipRegion: PlaySelectClipRegion(r); return;
      case kTextOut: PlayTextOut(r); return;
      case kExtTextOut: PlayExtTextOut(r); return;
      default: return;  // not drawn: skipped
    }
  }

  // The old blits carry a device-dependent bitmap, the later ones a DIB.
  enum class BitmapKind { Device, Dib };

  void DrawBitmap(BitmapKind kind, std::span<const std::uint8_t> bitmap, const RectD& source, const RectD& dest,
                  std::uint32_t rop) {
    if (kind == BitmapKind::Dib) return DrawDib(canvas_, DibBlit{bitmap, {}, source, false, dest, rop});
    DrawBitmap16(canvas_, bitmap, source, dest, rop);
  }

  // rop, source origin, size, destination origin, bitmap. Without a bitmap
  // the record is one word longer than these fields and paints with the
  // brush.
  void PlayBitBlt(const RecordView& r, BitmapKind kind) {
    if (r.size() == 18) {
      canvas_.PatBlt(RectFrom(PointAt(r, 14), PointAt(r, 10)), r.U32(0));
      return;
    }
    if (!r.Has(0, 16)) return;
    const PointD source = PointAt(r, 4), size = PointAt(r, 8);
    DrawBitmap(kind, r.Bytes(16, r.size() - 16), RectFrom(source, size), RectFrom(PointAt(r, 12), size), r.U32(0));
  }

  // rop, source size and origin, destination size and origin, bitmap.
  void PlayStretchBlt(const RecordView& r, BitmapKind kind) {
    if (r.size() == 22) {
      canvas_.PatBlt(RectFrom(PointAt(r, 18), PointAt(r, 14)), r.U32(0));
      return;
    }
    if (!r.Has(0, 20)) return;
    DrawBitmap(kind, r.Bytes(20, r.size() - 20), RectFrom(PointAt(r, 8), PointAt(r, 4)),
               RectFrom(PointAt(r, 16), PointAt(r, 12)), r.U32(0));
  }

  // rop, usage, source size and origin, destination size and origin, DIB.
  void PlayStretchDib(const RecordView& r) {
    if (!r.Has(0, 22) || r.U16(4) == kDibPalColors) return;
    DrawDib(canvas_, DibBlit{r.Bytes(22, r.size() - 22),
                             {},
                             RectFrom(PointAt(r, 10), PointAt(r, 6)),
                             true,
                             RectFrom(PointAt(r, 18), PointAt(r, 14)),
                             r.U32(0)});
  }

  // usage, scan count, first scan, source origin, size, destination, DIB.
  void PlaySetDibToDevice(const RecordView& r) {
    if (!r.Has(0, 18) || r.U16(0) == kDibPalColors) return;
    const PointD size = PointAt(r, 10);
    DrawDib(canvas_, DibBlit{r.Bytes(18, r.size() - 18),
                             {},
                             RectFrom(PointAt(r, 6), size),
                             true,
                             RectFrom(PointAt(r, 14), size),
                             0x00CC0020});
  }

  const GdiObject* ObjectOf(std::uint16_t index, GdiObject::Kind kind) const {
    const GdiObject* object = objects_.Find(index);
    return object != nullptr && object->kind == kind ? object : nullptr;
  }

  // Parameters last first, as a device context's recorder stores them:
  // FillRegion brush, region; FrameRegion height, width, brush, region;
  // PaintRegion and InvertRegion the region.
  void PlayRegion(std::uint16_t function, const RecordView& r) {
    const bool fill = function == kFillRegion, frame = function == kFrameRegion;
    const std::size_t regionAt = fill ? 2 : frame ? 6 : 0;
    if (!r.Has(regionAt, 2)) return;
    const GdiObject* region = ObjectOf(r.U16(regionAt), GdiObject::Kind::Region);
    if (region == nullptr) return;
    const auto read = ReadRegion(region->region);
    if (!read) return;
    const std::vector<RectD>& rects = read->rects;
    if (function == kInvertRegion) return canvas_.InvertRegion(rects);
    if (function == kPaintRegion) return canvas_.FillRegion(rects, state().brush);
    const GdiObject* brush = ObjectOf(r.U16(fill ? 0 : 4), GdiObject::Kind::Brush);
    if (brush == nullptr) return;
    if (fill) return canvas_.FillRegion(rects, brush->brush);
    canvas_.FrameRegion(rects, brush->brush, PointD{double(r.I16(2)), double(r.I16(0))});
  }

  // The region object becomes the clip. An index that names no region
  // leaves the clip as it is, as the device context does with a handle
  // that is not a region.
  void PlaySelectClipRegion(const RecordView& r) {
    if (!r.Has(0, 2)) return;
    const GdiObject* region = ObjectOf(r.U16(0), GdiObject::Kind::Region);
    if (region == nullptr) return;
    if (const auto read = ReadRegion(region->region)) canvas_.SelectClipRegion(read->rects);
  }

  // A region object: next in chain, type, object count (2 words), size,
  // scan count, largest scan, bounds, then the scans: a count of
  // coordinates, top, bottom, left and right pairs, the count again. The
  // rectangles read stop at the first scan that does not fit.
  static std::optional<RegionRects> ReadRegion(std::span<const std::uint8_t> bytes) {
    // At most a rectangle for each 4 bytes of the object.
    auto reservation = BudgetReservation::Take(bytes.size() / 4 * sizeof(RectD));
    if (!reservation) return std::nullopt;
    const RecordView region(bytes);
    RegionRects out{{}, std::move(*reservation)};
    std::vector<RectD>& rects = out.rects;
    const std::uint16_t scans = region.U16(10);
    std::size_t at = kRegionHeaderBytes;
    for (std::uint16_t i = 0; i < scans && region.Has(at, kScanFixedBytes); ++i) {
      const std::size_t coordinates = region.U16(at);
      if (coordinates % 2 != 0 || !region.Has(at + 6, coordinates * 2 + 2)) break;
      const double top = region.I16(at + 2), bottom = region.I16(at + 4);
      for (std::size_t pair = 0; pair < coordinates / 2; ++pair) {
        const std::size_t x = at + 6 + pair * 4;
        rects.push_back(RectD{double(region.I16(x)), top, double(region.I16(x + 2)), bottom});
      }
      at += kScanFixedBytes + coordinates * 2;
    }
    return out;
  }

  std::string Text(std::span<const std::uint8_t> bytes) { return TextFromCharset(bytes, state().font.charset); }

  // Length, the string padded to a word, y, x.
  void PlayTextOut(const RecordView& r) {
    const std::size_t length = r.U16(0), padded = (length + 1) / 2 * 2;
    if (!r.Has(0, 2 + padded + 4)) return;
    canvas_.TextOut(PointAt(r, 2 + padded), Text(r.Bytes(2, length)), 0, nullptr);
  }

  // y, x, length, options, the box when the options use one, the string.
  void PlayExtTextOut(const RecordView& r) {
    if (!r.Has(0, 8)) return;
    const std::uint16_t options = r.U16(6);
    const bool hasBox = (options & (kTextOpaque | kTextClipped)) != 0;
    const std::size_t textAt = hasBox ? 16 : 8;
    const std::size_t length = static_cast<std::uint16_t>(r.I16(4));
    if (!r.Has(textAt, length)) return;
    const RectD box{double(r.I16(8)), double(r.I16(10)), double(r.I16(12)), double(r.I16(14))};
    canvas_.TextOut(PointAt(r, 0), Text(r.Bytes(textAt, length)), options, hasBox ? &box : nullptr);
  }

  MetafileCanvas& canvas_;
  ObjectTable objects_;
};

}  // namespace

GpStatus PlayWmf(std::span<const std::uint8_t> data, const MetafileInfo& info, const PixelBuffer& target,
                 std::uint64_t workBudget) {
  const auto key = ByteReader(data).U32At(0);
  const std::size_t firstRecord = (key && *key == kPlaceableKey ? kPlaceableBytes : 0) + kStandardHeaderBytes;
  if (data.size() < firstRecord) return InvalidParameter;
  const GpRect& frame = info.boundsPixels;
  if (frame.Width <= 0 || frame.Height <= 0) return InvalidParameter;
  CanvasSetup setup;
  setup.deviceToOutput = Then(Translation(-frame.X, -frame.Y),
                              Scaling(double(target.width()) / frame.Width, double(target.height()) / frame.Height));
  setup.workBudget = workBudget;
  auto canvas = MetafileCanvas::Create(target, setup);
  if (!canvas) return OutOfMemory;
  // The frame is the viewport; the window starts equal to it.
  PageMapping& page = canvas->state().page;
  page.mode = kMapAnisotropic;
  page.windowOrigin = page.viewportOrigin = PointD{double(frame.X), double(frame.Y)};
  page.windowExtent = page.viewportExtent = PointD{double(frame.Width), double(frame.Height)};
  return WmfPlayer(*canvas).Play(data, firstRecord);
}

}  // namespace pixavue::platform::gdiplus
