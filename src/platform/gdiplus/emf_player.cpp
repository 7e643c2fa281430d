// Playback of enhanced metafile records.
//
// The device is the reference device of the header: its pixels are the
// device units of the records, and the picture frame (in those units) is
// drawn onto the whole output. The world transform, the mapping modes and
// the window and viewport records map logical coordinates onto the device.
// Field offsets below count from the start of the record (type, size).

#include <algorithm>
#include <cmath>
#include <vector>

#include "emfplus_player.h"
#include "metafile_bitmap.h"
#include "metafile_canvas.h"
#include "metafile_encoding.h"
#include "metafile_objects.h"
#include "metafile_play.h"
#include "metafile_record.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus {
namespace {

using namespace metafile;

enum Type : std::uint32_t {
  kPolyBezier = 2,
  kPolygon = 3,
  kPolyline = 4,
  kPolyBezierTo = 5,
  kPolylineTo = 6,
  kPolyPolyline = 7,
  kPolyPolygon = 8,
  kSetWindowExtEx = 9,
  kSetWindowOrgEx = 10,
  kSetViewportExtEx = 11,
  kSetViewportOrgEx = 12,
  kEof = 14,
  kSetPixelV = 15,
  kSetMapMode = 17,
  kSetBkMode = 18,
  kSetPolyFillMode = 19,
  kSetTextAlign = 22,
  kSetTextColor = 24,
  kSetBkColor = 25,
  kMoveToEx = 27,
  kExcludeClipRect = 29,
  kIntersectClipRect = 30,
  kScaleViewportExtEx = 31,
  kScaleWindowExtEx = 32,
  kSaveDc = 33,
  kRestoreDc = 34,
  kSetWorldTransform = 35,
  kModifyWorldTransform = 36,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrushIndirect = 39,
  kDeleteObject = 40,
  kAngleArc = 41,
  kEllipse = 42,
  kRectangle = 43,
  kRoundRect = 44,
  kArc = 45,
  kChord = 46,
  kPie = 47,
  kCreatePalette = 49,
  kLineTo = 54,
  kArcTo = 55,
  kSetArcDirection = 57,
  kSetMiterLimit = 58,
  kBeginPath = 59,
  kEndPath = 60,
  kCloseFigure = 61,
  kFillPath = 62,
  kStrokeAndFillPath = 63,
  kStrokePath = 64,
  kSelectClipPath = 67,
  kAbortPath = 68,
  kExtSelectClipRgn = 75,
  kBitBlt = 76,
  kStretchBlt = 77,
  kSetDiBitsToDevice = 80,
  kStretchDiBits = 81,
  kExtCreateFontIndirectW = 82,
  kExtTextOutA = 83,
  kExtTextOutW = 84,
  kPolyBezier16 = 85,
  kPolygon16 = 86,
  kPolyline16 = 87,
  kPolyBezierTo16 = 88,
  kPolylineTo16 = 89,
  kPolyPolyline16 = 90,
  kPolyPolygon16 = 91,
  kCreateMonoBrush = 93,
  kCreateDibPatternBrushPt = 94,
  kExtCreatePen = 95,
  kGdiComment = 70,
  kFillRgn = 71,
  kFrameRgn = 72,
  kInvertRgn = 73,
  kPaintRgn = 74,
  kCreateColorSpace = 99,
  kCreateColorSpaceW = 122,
};

constexpr std::size_t kRecordHeaderBytes = 8;
constexpr std::uint64_t kRecordCost = 64;
constexpr std::uint32_t kStockObjectFlag = 0x80000000u;
constexpr std::uint32_t kDibPalColors = 1;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kRegionCopy = 5;
constexpr std::size_t kRegionHeaderBytes = 32;
// World transform elements beyond this are refused (no real picture needs
// them and they would overflow the mapping).
constexpr double kMaxTransformElement = 1e7;
constexpr std::uint32_t kWorldIdentity = 1;
constexpr std::uint32_t kWorldLeftMultiply = 2;
constexpr std::uint32_t kWorldRightMultiply = 3;
constexpr std::uint32_t kWorldSet = 4;
constexpr std::size_t kFaceNameBytes = 64;

PointD PointAt(const RecordView& r, std::size_t offset) {
  return PointD{double(r.I32(offset)), double(r.I32(offset + 4))};
}

RectD RectAt(const RecordView& r, std::size_t offset) {
  return RectD{double(r.I32(offset)), double(r.I32(offset + 4)), double(r.I32(offset + 8)), double(r.I32(offset + 12))};
}

// Records that draw, which a player of EMF+ records skips: the EMF+
// records draw the same picture.
bool IsDrawing(std::uint32_t type) {
  // SetPixelV, the arcs, shapes and lines, path painting, the region
  // paints, the blits, text, alpha blends and gradient fills.
  static constexpr std::uint32_t kDrawing[] = {15, 41, 42, 43, 44, 45, 46, 47, 54, 55, 56, 62, 63,  64,  71,  72,
                                               73, 74, 76, 77, 78, 79, 80, 81, 83, 84, 96, 97, 108, 114, 116, 118};
  return std::find(std::begin(kDrawing), std::end(kDrawing), type) != std::end(kDrawing) ||
         (type >= kPolyBezier && type <= kPolyPolygon) || (type >= kPolyBezier16 && type <= kPolyPolygon16);
}

class EmfPlayer final {
 public:
  // `plus` plays the EMF+ records of GDI comments; null: they are ignored.
  EmfPlayer(MetafileCanvas& canvas, emfplus::Player* plus) : canvas_(canvas), plus_(plus) {}

  GpStatus Play(std::span<const std::uint8_t> data, std::size_t at) {
    const ByteReader reader(data);
    while (at < data.size()) {
      if (data.size() - at < kRecordHeaderBytes) return InvalidParameter;
      const std::uint32_t type = *reader.U32At(at), size = *reader.U32At(at + 4);
      if (size < kRecordHeaderBytes || size > data.size() - at) return InvalidParameter;
      if (type == kEof) return Ok;
      if (!canvas_.Charge(kRecordCost)) return Ok;
      const RecordView record(data.subspan(at, size));
      if (type == kGdiComment) {
        PlayComment(record);
        if (plus_ != nullptr && plus_->FellBack()) return Ok;
      } else if (plus_ == nullptr || plus_->EmfRecordsPlay() || !IsDrawing(type)) {
        Dispatch(type, record);
      }
      if (canvas_.Exhausted()) return Ok;
      at += size;
    }
    return Ok;
  }

 private:
  DeviceState& state() { return canvas_.state(); }

  void Dispatch(std::uint32_t type, const RecordView& r) {
    if (PlayState(type, r) || PlayMapping(type, r) || PlayObject(type, r) || PlayPoints(type, r)) return;
    if (PlayShape(type, r) || PlayPath(type, r)) return;
    PlayBitmapOrText(type, r);
  }

  bool PlayState(std::uint32_t type, const RecordView& r) {
    DeviceState& s = state();
    // One 32-bit value after the record header.
    const auto set = [&r](auto& field) {
      if (r.Has(8, 4)) field = r.U32(8);
      return true;
    };
    switch (type) {
      case kSaveDc: canvas_.SaveDC(); return true;
      case kRestoreDc:
        if (r.Has(8, 4)) canvas_.RestoreDC(r.I32(8));
        return true;
      case kSetBkColor: return set(s.backgroundColor);
      case kSetTextColor: return set(s.textColor);
      case kSetBkMode: return set(s.backgroundMode);
      case kSetPolyFillMode: return set(s.fillMode);
      case kSetTextAlign: return set(s.textAlign);
      case kSetArcDirection: return set(s.arcDirection);
      case kSetMiterLimit: return set(s.miterLimit);
      case kSetMapMode: return set(s.page.mode);
      default: return false;
    }
  }

  bool PlayMapping(std::uint32_t type, const RecordView& r) {
    PageMapping& page = state().page;
    switch (type) {
      case kSetWindowOrgEx:
        if (r.Has(8, 8)) page.windowOrigin = PointAt(r, 8);
        return true;
      case kSetViewportOrgEx:
        if (r.Has(8, 8)) page.viewportOrigin = PointAt(r, 8);
        return true;
      case kSetWindowExtEx: SetExtent(r, page.windowExtent); return true;
      case kSetViewportExtEx: SetExtent(r, page.viewportExtent); return true;
      case kScaleWindowExtEx: ScaleExtent(r, page.windowExtent); return true;
      case kScaleViewportExtEx: ScaleExtent(r, page.viewportExtent); return true;
      case kSetWorldTransform:
        if (const auto t = TransformAt(r, 8)) state().world = *t;
        return true;
      case kModifyWorldTransform: ModifyWorldTransform(r); return true;
      default: return false;
    }
  }

  static void SetExtent(const RecordView& r, PointD& extent) {
    const PointD e = PointAt(r, 8);
    if (r.Has(8, 8) && e.x != 0 && e.y != 0) extent = e;
  }

  // xNum, xDenom, yNum, yDenom.
  static void ScaleExtent(const RecordView& r, PointD& extent) {
    if (!r.Has(8, 16) || r.I32(12) == 0 || r.I32(20) == 0) return;
    const PointD scaled{extent.x * r.I32(8) / r.I32(12), extent.y * r.I32(16) / r.I32(20)};
    if (scaled.x != 0 && scaled.y != 0) extent = scaled;
  }

  static std::optional<Transform> TransformAt(const RecordView& r, std::size_t offset) {
    if (!r.Has(offset, 24)) return std::nullopt;
    double v[6];
    for (std::size_t i = 0; i < 6; ++i) {
      v[i] = r.F32(offset + i * 4);
      if (!std::isfinite(v[i]) || std::fabs(v[i]) > kMaxTransformElement) return std::nullopt;
    }
    return Transform{v[0], v[1], v[2], v[3], v[4], v[5]};
  }

  void ModifyWorldTransform(const RecordView& r) {
    const auto t = TransformAt(r, 8);
    if (!t || !r.Has(32, 4)) return;
    Transform& world = state().world;
    switch (r.U32(32)) {
      case kWorldIdentity: world = Transform{}; break;
      case kWorldLeftMultiply: world = Then(*t, world); break;
      case kWorldRightMultiply: world = Then(world, *t); break;
      case kWorldSet: world = *t; break;
      default: return;
    }
    // Products of allowed elements can still grow without bound.
    if (!Usable(world)) world = Transform{};
  }

  bool PlayObject(std::uint32_t type, const RecordView& r) {
    switch (type) {
      case kSelectObject: SelectObject(r); return true;
      case kDeleteObject:
        if (r.Has(8, 4)) objects_.Delete(r.U32(8));
        return true;
      case kCreatePen: CreatePen(r); return true;
      case kExtCreatePen: ExtCreatePen(r); return true;
      case kCreateBrushIndirect: CreateBrush(r); return true;
      case kCreateMonoBrush:
      case kCreateDibPatternBrushPt: CreatePatternBrush(r); return true;
      case kExtCreateFontIndirectW: CreateFont(r); return true;
      case kCreatePalette:
      case kCreateColorSpace:
      case kCreateColorSpaceW:
        if (r.Has(8, 4)) objects_.Put(r.U32(8), GdiObject{});
        return true;
      default: return false;
    }
  }

  void SelectObject(const RecordView& r) {
    if (!r.Has(8, 4)) return;
    const std::uint32_t index = r.U32(8);
    if ((index & kStockObjectFlag) != 0) {
      if (const auto stock = StockObject(index & ~kStockObjectFlag)) SelectInto(*stock, state());
      return;
    }
    if (const GdiObject* object = objects_.Find(index)) SelectInto(*object, state());
  }

  // Index, style, width (a point; x counts), colour.
  void CreatePen(const RecordView& r) {
    if (!r.Has(8, 20)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Pen;
    object.pen = Pen{r.U32(12), std::fabs(double(r.I32(16))), r.U32(24)};
    objects_.Put(r.U32(8), std::move(object));
  }

  // Index, bitmap offsets and sizes, style, width, brush style, colour.
  void ExtCreatePen(const RecordView& r) {
    if (!r.Has(8, 36)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Pen;
    const std::uint32_t style = r.U32(28);
    object.pen = Pen{style, (style & kPenGeometric) != 0 ? double(r.U32(32)) : 0.0, r.U32(40)};
    if (r.U32(36) == kBrushNull) object.pen.style = kPenNull;
    objects_.Put(r.U32(8), std::move(object));
  }

  void CreateBrush(const RecordView& r) {
    if (!r.Has(8, 16)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.brush = Brush{r.U32(12), r.U32(16), r.U32(20), nullptr};
    objects_.Put(r.U32(8), std::move(object));
  }

  // Index, usage, bitmap info offset and size, bits offset and size.
  void CreatePatternBrush(const RecordView& r) {
    if (!r.Has(8, 24)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.brush = Brush{kBrushSolid, 0x808080, 0, nullptr};
    if (r.U32(12) != kDibPalColors) {
      object.brush.pattern = DecodePattern(canvas_, r.Bytes(r.U32(16), r.U32(20)), r.Bytes(r.U32(24), r.U32(28)));
    }
    objects_.Put(r.U32(8), std::move(object));
  }

  // Index, then a LOGFONTW: height, width, escapement, orientation, weight,
  // italic, underline, strike-out, charset, precisions, quality, pitch and
  // family, face name.
  void CreateFont(const RecordView& r) {
    if (!r.Has(8, 32)) return;
    GdiObject object;
    object.kind = GdiObject::Kind::Font;
    Font& font = object.font;
    font.height = r.I32(12);
    font.escapement = r.I32(20);
    font.weight = r.I32(28);
    font.italic = r.U8(32) != 0;
    font.underline = r.U8(33) != 0;
    font.strikeOut = r.U8(34) != 0;
    font.charset = r.U8(35);
    font.pitchAndFamily = r.U8(39);
    auto face = r.Bytes(40, std::min<std::size_t>(kFaceNameBytes, r.size() - 40));
    std::size_t units = 0;
    while (units * 2 + 1 < face.size() && (face[units * 2] | face[units * 2 + 1]) != 0) ++units;
    font.face = TextFromUtf16(face.first(units * 2));
    objects_.Put(r.U32(8), std::move(object));
  }

  // Bounds, point count, points (32- or 16-bit).
  bool PlayPoints(std::uint32_t type, const RecordView& r) {
    const bool small = type >= kPolyBezier16 && type <= kPolyPolygon16;
    const std::uint32_t base = small ? type - kPolyBezier16 + kPolyBezier : type;
    if (base < kPolyBezier || base > kPolyPolygon) return false;
    if (base == kPolyPolyline || base == kPolyPolygon) {
      PlayPolyPoly(base, small, r);
      return true;
    }
    const std::uint32_t count = r.U32(24);
    const auto points = small ? Points16(r, 28, count) : Points32(r, 28, count);
    if (points.empty()) return true;
    switch (base) {
      case kPolyBezier: canvas_.PolyBezier(points); break;
      case kPolygon: canvas_.Polygon(points); break;
      case kPolyline: canvas_.Polyline(points); break;
      case kPolyBezierTo: canvas_.PolyBezierTo(points); break;
      default: canvas_.PolylineTo(points); break;
    }
    return true;
  }

  // Bounds, figure count, point count, the figures' counts, the points.
  void PlayPolyPoly(std::uint32_t base, bool small, const RecordView& r) {
    const std::uint64_t figures = r.U32(24), total = r.U32(28);
    if (!r.Has(32, figures * 4)) return;
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(figures));
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = r.U32(32 + i * 4);
    const std::size_t pointsAt = 32 + counts.size() * 4;
    const auto points = small ? Points16(r, pointsAt, total) : Points32(r, pointsAt, total);
    if (points.empty()) return;
    base == kPolyPolygon ? canvas_.PolyPolygon(points, counts) : canvas_.PolyPolyline(points, counts);
  }

  bool PlayShape(std::uint32_t type, const RecordView& r) {
    switch (type) {
      case kMoveToEx:
        if (r.Has(8, 8)) canvas_.MoveTo(PointAt(r, 8));
        return true;
      case kLineTo:
        if (r.Has(8, 8)) canvas_.LineTo(PointAt(r, 8));
        return true;
      case kSetPixelV:
        if (r.Has(8, 12)) canvas_.SetPixel(PointAt(r, 8), r.U32(16));
        return true;
      case kRectangle:
        if (r.Has(8, 16)) canvas_.Rectangle(RectAt(r, 8));
        return true;
      case kEllipse:
        if (r.Has(8, 16)) canvas_.Ellipse(RectAt(r, 8));
        return true;
      case kRoundRect:
        if (r.Has(8, 24)) canvas_.RoundRect(RectAt(r, 8), PointAt(r, 24));
        return true;
      case kArc: PlayArc(ArcKind::Arc, r); return true;
      case kArcTo: PlayArc(ArcKind::ArcTo, r); return true;
      case kChord: PlayArc(ArcKind::Chord, r); return true;
      case kPie: PlayArc(ArcKind::Pie, r); return true;
      case kAngleArc:
        if (const double start = r.F32(20), sweep = r.F32(24);
            r.Has(8, 20) && std::isfinite(start) && std::isfinite(sweep)) {
          canvas_.AngleArc(PointAt(r, 8), r.U32(16), start, sweep);
        }
        return true;
      case kIntersectClipRect:
        if (r.Has(8, 16)) canvas_.IntersectClipRect(RectAt(r, 8));
        return true;
      case kExcludeClipRect:
        if (r.Has(8, 16)) canvas_.ExcludeClipRect(RectAt(r, 8));
        return true;
      case kExtSelectClipRgn: SelectClipRegion(r); return true;
      default: return false;
    }
  }

  void PlayArc(ArcKind kind, const RecordView& r) {
    if (r.Has(8, 32)) canvas_.Arc(kind, RectAt(r, 8), PointAt(r, 24), PointAt(r, 32));
  }

  // A region of `regionBytes` at `at`: a 32-byte header (size, type,
  // count, bytes, bounds), then its rectangles. Nullopt when the count does
  // not fit the data or the region does not fit the record.
  static std::optional<RegionRects> RegionAt(const RecordView& r, std::size_t at, std::uint32_t regionBytes) {
    if (regionBytes < kRegionHeaderBytes || !r.Has(at, regionBytes)) return std::nullopt;
    const std::uint64_t count = r.U32(at + 8);
    if (count > (regionBytes - kRegionHeaderBytes) / 16) return std::nullopt;
    auto reservation = BudgetReservation::Take(count * sizeof(RectD));
    if (!reservation) return std::nullopt;
    RegionRects region{{}, std::move(*reservation)};
    region.rects.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < count; ++i) region.rects.push_back(RectAt(r, at + kRegionHeaderBytes + i * 16));
    return region;
  }

  // Region size, mode, then a region in device units; none with RGN_COPY
  // removes the clip.
  void SelectClipRegion(const RecordView& r) {
    if (!r.Has(8, 8)) return;
    const std::uint32_t regionBytes = r.U32(8), mode = r.U32(12);
    if (regionBytes == 0) {
      if (mode == kRegionCopy) canvas_.CombineClipRegion({}, mode);
      return;
    }
    if (const auto region = RegionAt(r, 16, regionBytes)) canvas_.CombineClipRegion(region->rects, mode);
  }

  std::optional<Brush> BrushAt(std::uint32_t index) const {
    const auto stock = (index & kStockObjectFlag) != 0 ? StockObject(index & ~kStockObjectFlag) : std::nullopt;
    const GdiObject* object = stock ? &*stock : objects_.Find(index);
    if (object == nullptr || object->kind != GdiObject::Kind::Brush) return std::nullopt;
    return object->brush;
  }

  // Bounds, region size, then for FillRgn the brush, for FrameRgn the brush
  // and the frame's width and height, then the region in logical units.
  void PlayRegion(std::uint32_t type, const RecordView& r) {
    if (!r.Has(8, 20)) return;
    const std::uint32_t regionBytes = r.U32(24);
    switch (type) {
      case kFillRgn:
        if (const auto brush = BrushAt(r.U32(28)); brush && r.Has(28, 4)) {
          if (const auto region = RegionAt(r, 32, regionBytes)) canvas_.FillRegion(region->rects, *brush);
        }
        return;
      case kFrameRgn:
        if (const auto brush = BrushAt(r.U32(28)); brush && r.Has(28, 12)) {
          const PointD size{double(r.I32(32)), double(r.I32(36))};
          if (const auto region = RegionAt(r, 40, regionBytes)) canvas_.FrameRegion(region->rects, *brush, size);
        }
        return;
      case kPaintRgn:
        if (const auto region = RegionAt(r, 28, regionBytes)) canvas_.FillRegion(region->rects, state().brush);
        return;
      default:
        if (const auto region = RegionAt(r, 28, regionBytes)) canvas_.InvertRegion(region->rects);
        return;
    }
  }

  bool PlayPath(std::uint32_t type, const RecordView& r) {
    switch (type) {
      case kBeginPath: canvas_.BeginPath(); return true;
      case kEndPath: canvas_.EndPath(); return true;
      case kCloseFigure: canvas_.CloseFigure(); return true;
      case kAbortPath: canvas_.AbortPath(); return true;
      case kFillPath: canvas_.FillPath(); return true;
      case kStrokePath: canvas_.StrokePath(); return true;
      case kStrokeAndFillPath: canvas_.StrokeAndFillPath(); return true;
      case kSelectClipPath:
        if (r.Has(8, 4)) canvas_.SelectClipPath(r.U32(8));
        return true;
      default: return false;
    }
  }

  void PlayBitmapOrText(std::uint32_t type, const RecordView& r) {
    switch (type) {
      case kBitBlt:
      case kStretchBlt: PlayBlt(type, r); return;
      case kStretchDiBits: PlayStretchDiBits(r); return;
      case kSetDiBitsToDevice: PlaySetDiBitsToDevice(r); return;
      case kExtTextOutA:
      case kExtTextOutW: PlayExtTextOut(type, r); return;
      case kFillRgn:
      case kFrameRgn:
      case kInvertRgn:
      case kPaintRgn: PlayRegion(type, r); return;
      default: return;  // not drawn: skipped
    }
  }

  // A bitmap given by offsets and sizes (from the record start) of its
  // info and bits; empty when either is missing or outside the record.
  struct Dib final {
    std::span<const std::uint8_t> info, bits;
  };
  static Dib DibAt(const RecordView& r, std::size_t offsetsAt) {
    const std::uint32_t infoAt = r.U32(offsetsAt), infoBytes = r.U32(offsetsAt + 4);
    const std::uint32_t bitsAt = r.U32(offsetsAt + 8), bitsBytes = r.U32(offsetsAt + 12);
    if (infoBytes == 0 || bitsBytes == 0) return Dib{};
    return Dib{r.Bytes(infoAt, infoBytes), r.Bytes(bitsAt, bitsBytes)};
  }

  // Bounds, destination origin and size, rop, source origin, source
  // transform and background, usage, bitmap; StretchBlt adds the source
  // size. Without a bitmap the rop paints with the brush.
  void PlayBlt(std::uint32_t type, const RecordView& r) {
    const std::size_t fixedBytes = type == kStretchBlt ? 108 : 100;
    if (!r.Has(0, fixedBytes)) return;
    const RectD dest = RectFrom(PointAt(r, 24), PointAt(r, 32));
    const std::uint32_t rop = r.U32(40);
    const Dib dib = DibAt(r, 84);
    if (r.U32(88) == 0) return canvas_.PatBlt(dest, rop);
    if (dib.info.empty() || dib.bits.empty() || r.U32(80) == kDibPalColors) return;
    const PointD size = type == kStretchBlt ? PointAt(r, 100) : PointAt(r, 32);
    DrawDib(canvas_, DibBlit{dib.info, dib.bits, RectFrom(PointAt(r, 44), size), false, dest, rop});
  }

  // Bounds, destination origin, source origin and size, bitmap, usage, rop,
  // destination size.
  void PlayStretchDiBits(const RecordView& r) {
    if (!r.Has(0, 80) || r.U32(64) == kDibPalColors) return;
    const Dib dib = DibAt(r, 48);
    if (dib.info.empty() || dib.bits.empty()) return;
    DrawDib(canvas_, DibBlit{dib.info, dib.bits, RectFrom(PointAt(r, 32), PointAt(r, 40)), true,
                             RectFrom(PointAt(r, 24), PointAt(r, 72)), r.U32(68)});
  }

  // Bounds, destination origin, source origin and size, bitmap, usage,
  // first scan and scan count. Only calls that start at the first scan are
  // drawn; a band of scans leaves the bitmap short and it does not decode.
  void PlaySetDiBitsToDevice(const RecordView& r) {
    if (!r.Has(0, 76) || r.U32(64) == kDibPalColors) return;
    const Dib dib = DibAt(r, 48);
    if (dib.info.empty() || dib.bits.empty() || r.U32(68) != 0) return;
    const PointD size = PointAt(r, 40);
    DrawDib(canvas_, DibBlit{dib.info, dib.bits, RectFrom(PointAt(r, 32), size), true, RectFrom(PointAt(r, 24), size),
                             kSrcCopy});
  }

  // Bounds, graphics mode, scales, then the text: reference point, length,
  // string offset, options, box, spacing offset.
  void PlayExtTextOut(std::uint32_t type, const RecordView& r) {
    if (!r.Has(0, 76)) return;
    const std::uint64_t length = r.U32(44), at = r.U32(48);
    const std::uint32_t options = r.U32(52);
    const RectD box = RectAt(r, 56);
    std::string text;
    if (type == kExtTextOutW) {
      if (!r.Has(at, length * 2)) return;
      text = TextFromUtf16(r.Bytes(at, length * 2));
    } else {
      if (!r.Has(at, length)) return;
      text = TextFromCharset(r.Bytes(at, length), state().font.charset);
    }
    const bool hasBox = box.right > box.left && box.bottom > box.top;
    canvas_.TextOut(PointAt(r, 36), text, options, hasBox ? &box : nullptr);
  }

  // Data size, then the data; EMF+ records follow the "EMF+" identifier.
  void PlayComment(const RecordView& r) {
    if (plus_ == nullptr || !r.Has(8, 8) || r.U32(12) != emfplus::kCommentIdentifier) return;
    const std::uint64_t bytes = std::min<std::uint64_t>(r.U32(8), r.size() - 12);
    if (bytes >= 4) plus_->PlayComment(r.Bytes(16, bytes - 4));
  }

  MetafileCanvas& canvas_;
  emfplus::Player* plus_;
  ObjectTable objects_;
};

// One pass over the records; `withPlus` plays the EMF+ records too and
// tells in `fellBack` whether they could not all be played.
GpStatus PlayPass(std::span<const std::uint8_t> data, std::uint32_t headerBytes, const MetafileInfo& info,
                  const PixelBuffer& target, const CanvasSetup& setup, bool withPlus, bool& fellBack) {
  auto canvas = MetafileCanvas::Create(target, setup);
  if (!canvas) return OutOfMemory;
  std::unique_ptr<emfplus::Player> plus;
  if (withPlus) {
    auto painter = emfplus::Painter::Create(target, *canvas);
    if (!painter) return OutOfMemory;
    plus = std::make_unique<emfplus::Player>(*canvas, std::move(painter), info.dpiX, info.dpiY, data.size());
  }
  const GpStatus status = EmfPlayer(*canvas, plus.get()).Play(data, headerBytes);
  fellBack = plus != nullptr && plus->FellBack();
  return status;
}

void ClearPixels(const PixelBuffer& target) {
  const std::size_t rowBytes = std::size_t{target.width()} * 4;
  for (std::uint32_t y = 0; y < target.height(); ++y) std::fill_n(target.Row(y), rowBytes, std::uint8_t{0});
}

}  // namespace

GpStatus PlayEmf(std::span<const std::uint8_t> data, const MetafileInfo& info, const PixelBuffer& target,
                 std::uint64_t workBudget) {
  const ByteReader reader(data);
  const auto headerBytes = reader.U32At(4), fileBytes = reader.U32At(48);
  if (!headerBytes || !fileBytes || *fileBytes > data.size() || *headerBytes > *fileBytes) return InvalidParameter;
  const GpRect& frame = info.boundsPixels;
  if (frame.Width <= 0 || frame.Height <= 0 || info.dpiX <= 0 || info.dpiY <= 0) return InvalidParameter;
  CanvasSetup setup;
  setup.deviceToOutput = Then(Translation(-frame.X, -frame.Y),
                              Scaling(double(target.width()) / frame.Width, double(target.height()) / frame.Height));
  setup.pixelsPerMmX = info.dpiX / 25.4;
  setup.pixelsPerMmY = info.dpiY / 25.4;
  setup.workBudget = workBudget;
  bool fellBack = false;
  const GpStatus status = PlayPass(data.first(*fileBytes), *headerBytes, info, target, setup, true, fellBack);
  if (!fellBack) return status;
  // A dual file whose EMF+ records could not all be played: its EMF
  // records alone draw the picture.
  ClearPixels(target);
  return PlayPass(data.first(*fileBytes), *headerBytes, info, target, setup, false, fellBack);
}

}  // namespace pixavue::platform::gdiplus
