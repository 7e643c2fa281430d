#include "emfplus_player.h"

#include <bit>
#include <cmath>
#include <numbers>

#include "byte_reader.h"
#include "metafile_canvas.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::emfplus {
namespace {

using metafile::Then;

enum RecordType : std::uint16_t {
  kHeader = 0x4001,
  kEndOfFile = 0x4002,
  kComment = 0x4003,
  kGetDc = 0x4004,
  kMultiFormatStart = 0x4005,
  kMultiFormatEnd = 0x4007,
  kObject = 0x4008,
  kClear = 0x4009,
  kFillRects = 0x400A,
  kDrawRects = 0x400B,
  kFillPolygon = 0x400C,
  kDrawLines = 0x400D,
  kFillEllipse = 0x400E,
  kDrawEllipse = 0x400F,
  kFillPie = 0x4010,
  kDrawPie = 0x4011,
  kDrawArc = 0x4012,
  kFillPath = 0x4014,
  kDrawPath = 0x4015,
  kFillClosedCurve = 0x4016,
  kDrawClosedCurve = 0x4017,
  kDrawCurve = 0x4018,
  kDrawBeziers = 0x4019,
  kDrawImage = 0x401A,
  kDrawImagePoints = 0x401B,
  kSetRenderingOrigin = 0x401D,
  kSetAntiAliasMode = 0x401E,
  kSetTextRenderingHint = 0x401F,
  kSetCompositingMode = 0x4023,
  kSetCompositingQuality = 0x4024,
  kSave = 0x4025,
  kRestore = 0x4026,
  kBeginContainer = 0x4027,
  kBeginContainerNoParams = 0x4028,
  kEndContainer = 0x4029,
  kSetWorldTransform = 0x402A,
  kResetWorldTransform = 0x402B,
  kMultiplyWorldTransform = 0x402C,
  kTranslateWorldTransform = 0x402D,
  kScaleWorldTransform = 0x402E,
  kRotateWorldTransform = 0x402F,
  kSetPageTransform = 0x4030,
  kResetClip = 0x4031,
  kSetClipRect = 0x4032,
  kSetClipPath = 0x4033,
  kOffsetClip = 0x4035,
  kSerializableObject = 0x4038,
  kSetTsGraphics = 0x4039,
  kSetTsClip = 0x403A,
};

constexpr std::size_t kRecordHeaderBytes = 12;
constexpr std::uint64_t kRecordCost = 64;
constexpr std::uint16_t kFlagDual = 0x0001;
constexpr std::uint16_t kFlagColor = 0x8000;      // the brush field is a colour
constexpr std::uint16_t kFlagInt16 = 0x4000;      // 16-bit rectangles
constexpr std::uint16_t kFlagClosed = 0x2000;     // DrawLines closes the figure
constexpr std::uint16_t kFlagWinding = 0x2000;    // FillPolygon's fill rule
constexpr std::uint16_t kFlagAppend = 0x2000;     // transforms applied after the world transform
constexpr std::uint16_t kFlagContinued = 0x8000;  // an object continued in the next record
constexpr std::uint32_t kCombineReplace = 0, kCombineIntersect = 1;
constexpr std::size_t kMaxSavedStates = 1024;
// Header resolutions outside this range are ignored.
constexpr double kMinDpi = 1, kMaxDpi = 100000;
constexpr double kMaxTransformElement = 1e7;

enum PageUnit : std::uint32_t { kUnitPoint = 3, kUnitInch = 4, kUnitDocument = 5, kUnitMillimetre = 6 };

class Fields final {
 public:
  explicit Fields(std::span<const std::uint8_t> data) : data_(data), reader_(data) {}
  std::optional<std::uint32_t> U32(std::size_t at) const { return reader_.U32At(at); }
  std::optional<double> Float(std::size_t at) const {
    const auto bits = reader_.U32At(at);
    if (!bits) return std::nullopt;
    const float v = std::bit_cast<float>(*bits);
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
  }
  std::optional<Transform> Matrix(std::size_t at) const {
    double v[6];
    for (std::size_t i = 0; i < 6; ++i) {
      const auto f = Float(at + 4 * i);
      if (!f || std::fabs(*f) > kMaxTransformElement) return std::nullopt;
      v[i] = *f;
    }
    return Transform{v[0], v[1], v[2], v[3], v[4], v[5]};
  }
  std::span<const std::uint8_t> From(std::size_t at) const {
    return at <= data_.size() ? data_.subspan(at) : std::span<const std::uint8_t>{};
  }

 private:
  std::span<const std::uint8_t> data_;
  ByteReader reader_;
};

double UnitPixels(std::uint32_t unit, double dpi) {
  switch (unit) {
    case kUnitPoint: return dpi / 72;
    case kUnitInch: return dpi;
    case kUnitDocument: return dpi / 300;
    case kUnitMillimetre: return dpi / 25.4;
    default: return 1;  // world, display and pixel: device pixels
  }
}

// The transform taking source rectangle `s` onto the parallelogram with
// corners p0 (its top left), p1 (top right) and p2 (bottom left).
std::optional<Transform> MapRectToPoints(const RectF& s, PointD p0, PointD p1, PointD p2) {
  if (s.width == 0 || s.height == 0) return std::nullopt;
  Transform t{
      (p1.x - p0.x) / s.width, (p1.y - p0.y) / s.width, (p2.x - p0.x) / s.height, (p2.y - p0.y) / s.height, 0, 0};
  t.dx = p0.x - (t.m11 * s.x + t.m21 * s.y);
  t.dy = p0.y - (t.m12 * s.x + t.m22 * s.y);
  return t;
}

}  // namespace

Player::Player(metafile::MetafileCanvas& canvas, std::unique_ptr<Painter> painter, double dpiX, double dpiY,
               std::uint64_t fileBytes)
    : canvas_(canvas), painter_(std::move(painter)), dpiX_(dpiX), dpiY_(dpiY), fileBytes_(fileBytes) {}

void Player::PlayComment(std::span<const std::uint8_t> records) {
  const ByteReader reader(records);
  std::size_t at = 0;
  while (records.size() - at >= kRecordHeaderBytes && !fellBack_ && !ended_) {
    const std::uint16_t type = *reader.U16At(at), flags = *reader.U16At(at + 2);
    const std::uint32_t size = *reader.U32At(at + 4), dataSize = *reader.U32At(at + 8);
    if (size < kRecordHeaderBytes || size > records.size() - at || dataSize > size - kRecordHeaderBytes) {
      Fail();
      return;
    }
    if (!canvas_.Charge(kRecordCost) || canvas_.Exhausted()) return;
    const auto data = records.subspan(at + kRecordHeaderBytes, dataSize);
    if (type == kHeader) {
      if (!PlayHeader(flags, data)) return;
    } else if (headerSeen_) {
      getDcLast_ = type == kGetDc;
      if (!PlayRecord(type, flags, data)) Fail();
    }
    at += size;
  }
}

void Player::Fail() {
  if (dual_) fellBack_ = true;
}

// Version, EMF+ flags, then the resolution of the reference device.
bool Player::PlayHeader(std::uint16_t flags, std::span<const std::uint8_t> data) {
  if (headerSeen_) return true;
  const Fields f(data);
  if (!f.U32(12) || painter_ == nullptr) return false;
  headerSeen_ = true;
  dual_ = (flags & kFlagDual) != 0;
  const double dpiX = *f.U32(8), dpiY = *f.U32(12);
  if (dpiX >= kMinDpi && dpiX <= kMaxDpi && dpiY >= kMinDpi && dpiY <= kMaxDpi) {
    dpiX_ = dpiX;
    dpiY_ = dpiY;
  }
  return true;
}

bool Player::PlayRecord(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data) {
  bool known = true;
  if (type == kObject) return PlayObject(flags, data);
  if (type == kEndOfFile) {
    ended_ = true;
    return true;
  }
  const bool played = PlayState(type, flags, data, known);
  if (known) return played;
  known = true;
  const bool transformed = PlayTransform(type, flags, data, known);
  if (known) return transformed;
  known = true;
  const bool clipped = PlayClip(type, flags, data, known);
  if (known) return clipped;
  known = true;
  const bool filled = PlayFill(type, flags, data, known);
  if (known) return filled;
  known = true;
  const bool stroked = PlayStroke(type, flags, data, known);
  if (known) return stroked;
  known = true;
  const bool imaged = PlayImage(type, flags, data, known);
  if (known) return imaged;
  // Records that change nothing drawn are ignored; any other (text, curves,
  // regions) cannot be played.
  switch (type) {
    case kComment:
    case kGetDc:
    case kSetRenderingOrigin:
    case kSetTextRenderingHint:
    case kSetCompositingQuality:
    case kSerializableObject:
    case kSetTsGraphics:
    case kSetTsClip: return true;
    default: return (type >= kMultiFormatStart && type <= kMultiFormatEnd) || (type > 0x401F && type < 0x4023);
  }
}

void Player::Apply(const State& state) {
  state_ = state;
  painter_->SetAntialias(state_.antialias);
  painter_->SetSourceCopy(state_.sourceCopy);
}

bool Player::PlayState(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known) {
  const Fields f(data);
  switch (type) {
    case kSetAntiAliasMode:
      state_.antialias = (flags & 1) != 0;
      painter_->SetAntialias(state_.antialias);
      return true;
    case kSetCompositingMode:
      state_.sourceCopy = (flags & 0xFF) == 1;
      painter_->SetSourceCopy(state_.sourceCopy);
      return true;
    case kSave:
    case kBeginContainerNoParams: {
      const auto id = f.U32(0);
      if (!id || saved_.size() >= kMaxSavedStates) return false;
      saved_.push_back(Saved{*id, state_});
      painter_->Save();
      return true;
    }
    case kBeginContainer: {
      // Destination and source rectangles, then the stack index: the
      // source maps onto the destination inside the container.
      const auto dest = ReadRect(data, false), source = ReadRect(f.From(16), false);
      const auto id = f.U32(32);
      if (!dest || !source || !id || saved_.size() >= kMaxSavedStates) return false;
      const auto inside = MapRectToPoints(*source, {dest->x, dest->y}, {dest->x + dest->width, dest->y},
                                          {dest->x, dest->y + dest->height});
      saved_.push_back(Saved{*id, state_});
      painter_->Save();
      if (inside && metafile::Usable(Then(*inside, state_.world))) state_.world = Then(*inside, state_.world);
      return true;
    }
    case kRestore:
    case kEndContainer: {
      const auto id = f.U32(0);
      if (!id) return false;
      // Back to the state saved under `id`, dropping those saved after it.
      std::size_t level = saved_.size();
      while (level > 0 && saved_[level - 1].id != *id) --level;
      if (level == 0) return true;
      while (saved_.size() >= level) {
        painter_->Restore();
        Apply(saved_.back().state);
        saved_.pop_back();
      }
      return true;
    }
    case kClear: {
      const auto color = f.U32(0);
      if (!color) return false;
      painter_->Clear(*color);
      return true;
    }
    default: known = false; return false;
  }
}

bool Player::PlayTransform(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known) {
  const Fields f(data);
  std::optional<Transform> change;
  switch (type) {
    case kResetWorldTransform: state_.world = Transform{}; return true;
    case kSetWorldTransform: {
      const auto m = f.Matrix(0);
      if (!m) return false;
      state_.world = *m;
      return true;
    }
    case kSetPageTransform: {
      const auto scale = f.Float(0);
      if (!scale || *scale <= 0 || *scale > kMaxTransformElement) return false;
      state_.pageUnit = flags & 0xFF;
      state_.pageScale = *scale;
      return true;
    }
    case kMultiplyWorldTransform: change = f.Matrix(0); break;
    case kTranslateWorldTransform:
      if (const auto dx = f.Float(0), dy = f.Float(4); dx && dy) change = metafile::Translation(*dx, *dy);
      break;
    case kScaleWorldTransform:
      if (const auto sx = f.Float(0), sy = f.Float(4); sx && sy) change = metafile::Scaling(*sx, *sy);
      break;
    case kRotateWorldTransform:
      if (const auto degrees = f.Float(0)) {
        const double a = *degrees * std::numbers::pi / 180;
        change = Transform{std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0};
      }
      break;
    default: known = false; return false;
  }
  if (!change) return false;
  const Transform world = (flags & kFlagAppend) != 0 ? Then(state_.world, *change) : Then(*change, state_.world);
  // Products of allowed elements can still grow without bound.
  if (!metafile::Usable(world)) return false;
  state_.world = world;
  return true;
}

bool Player::PlayClip(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known) {
  const std::uint32_t combine = (flags >> 8) & 0x0F;
  switch (type) {
    case kResetClip: painter_->ResetClip(); return true;
    case kOffsetClip: return true;
    case kSetClipRect: {
      const auto rect = ReadRect(data, false);
      if (!rect || (combine != kCombineReplace && combine != kCombineIntersect)) return false;
      BeginShape();
      painter_->AddRect(*rect);
      painter_->ClipToShape(combine == kCombineReplace);
      return true;
    }
    case kSetClipPath: {
      const Object* path = objects_.Find(flags & 0xFF, ObjectType::Path);
      if (path == nullptr || (combine != kCombineReplace && combine != kCombineIntersect)) return false;
      BeginShape();
      painter_->AddPath(*path->path);
      painter_->ClipToShape(combine == kCombineReplace);
      return true;
    }
    default: known = false; return false;
  }
}

// `count` rectangles at the start of `bytes`; false when one is missing
// or not finite.
bool Player::AddRects(std::span<const std::uint8_t> bytes, std::uint64_t count, bool int16) {
  const std::size_t rectBytes = int16 ? kRectInt16Bytes : kRectFloatBytes;
  if (count > bytes.size() / rectBytes) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const auto rect = ReadRect(bytes.subspan(i * rectBytes), int16);
    if (!rect) return false;
    painter_->AddRect(*rect);
  }
  return true;
}

const Brush* Player::BrushOf(std::uint16_t flags, std::uint32_t value) {
  if ((flags & kFlagColor) != 0) {
    colorBrush_ = Brush{};
    colorBrush_.color = value;
    return &colorBrush_;
  }
  const Object* object = objects_.Find(value, ObjectType::Brush);
  return object ? &object->brush : nullptr;
}

const Pen* Player::PenOf(std::uint32_t id) const {
  const Object* object = objects_.Find(id, ObjectType::Pen);
  return object ? &object->pen : nullptr;
}

Transform Player::WorldToOutput() const {
  const Transform page = metafile::Scaling(UnitPixels(state_.pageUnit, dpiX_) * state_.pageScale,
                                           UnitPixels(state_.pageUnit, dpiY_) * state_.pageScale);
  return Then(Then(state_.world, page), canvas_.DeviceToOutput());
}

// Brush, then the shape's fields.
bool Player::PlayFill(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known) {
  if (type != kFillRects && type != kFillPolygon && type != kFillEllipse && type != kFillPie && type != kFillPath &&
      type != kFillClosedCurve) {
    known = false;
    return false;
  }
  const Fields f(data);
  const auto brushValue = f.U32(0);
  const Brush* brush = brushValue ? BrushOf(flags, *brushValue) : nullptr;
  if (brush == nullptr) return false;
  const bool int16 = (flags & kFlagInt16) != 0;
  BeginShape();
  bool winding = true;
  switch (type) {
    case kFillRects: {
      const auto count = f.U32(4);
      if (!count) return false;
      if (!AddRects(f.From(8), *count, int16)) return false;
      break;
    }
    case kFillPolygon: {
      const auto count = f.U32(4);
      const auto points = count ? ReadPoints(f.From(8), *count, PointEncodingOf(flags)) : std::nullopt;
      if (!points) return false;
      painter_->AddPolygon(*points, true);
      winding = (flags & kFlagWinding) != 0;
      break;
    }
    case kFillClosedCurve: {
      // Tension, count, points.
      const auto tension = f.Float(4);
      const auto count = f.U32(8);
      const auto points = tension && count ? ReadPoints(f.From(12), *count, PointEncodingOf(flags)) : std::nullopt;
      if (!points) return false;
      painter_->AddCurve(*points, *tension, true);
      winding = (flags & kFlagWinding) != 0;
      break;
    }
    case kFillEllipse: {
      const auto rect = ReadRect(f.From(4), int16);
      if (!rect) return false;
      painter_->AddArc(*rect, 0, 360, false);
      break;
    }
    case kFillPie: {
      const auto start = f.Float(4), sweep = f.Float(8);
      const auto rect = ReadRect(f.From(12), int16);
      if (!start || !sweep || !rect) return false;
      painter_->AddArc(*rect, *start, *sweep, true);
      break;
    }
    default: {
      const Object* path = objects_.Find(flags & 0xFF, ObjectType::Path);
      if (path == nullptr) return false;
      painter_->AddPath(*path->path);
      winding = false;
      break;
    }
  }
  painter_->Fill(*brush, winding);
  return true;
}

bool Player::PlayStroke(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known) {
  if (type != kDrawRects && type != kDrawLines && type != kDrawEllipse && type != kDrawPie && type != kDrawArc &&
      type != kDrawPath && type != kDrawBeziers && type != kDrawCurve && type != kDrawClosedCurve) {
    known = false;
    return false;
  }
  const Fields f(data);
  const bool int16 = (flags & kFlagInt16) != 0;
  const auto penId = type == kDrawPath ? f.U32(0) : std::optional<std::uint32_t>(flags & 0xFF);
  const Pen* pen = penId ? PenOf(*penId) : nullptr;
  if (pen == nullptr) return false;
  BeginShape();
  switch (type) {
    case kDrawRects: {
      const auto count = f.U32(0);
      if (!count) return false;
      if (!AddRects(f.From(4), *count, int16)) return false;
      break;
    }
    case kDrawLines:
    case kDrawBeziers: {
      const auto count = f.U32(0);
      const auto points = count ? ReadPoints(f.From(4), *count, PointEncodingOf(flags)) : std::nullopt;
      if (!points) return false;
      if (type == kDrawBeziers) {
        painter_->AddBeziers(*points);
      } else {
        painter_->AddPolygon(*points, (flags & kFlagClosed) != 0);
      }
      break;
    }
    case kDrawClosedCurve: {
      // Tension, count, points.
      const auto tension = f.Float(0);
      const auto count = f.U32(4);
      const auto points = tension && count ? ReadPoints(f.From(8), *count, PointEncodingOf(flags)) : std::nullopt;
      if (!points) return false;
      painter_->AddCurve(*points, *tension, true);
      break;
    }
    case kDrawCurve: {
      // Tension, the first segment and the segments drawn, count, points.
      const auto tension = f.Float(0);
      const auto first = f.U32(4), segments = f.U32(8), count = f.U32(12);
      const auto points = tension && count ? ReadPoints(f.From(16), *count, PointEncodingOf(flags)) : std::nullopt;
      if (!points || !first || !segments || *first >= points->size()) return false;
      const std::size_t drawn = std::min<std::size_t>(*segments, points->size() - 1 - *first);
      painter_->AddCurve(std::span(*points).subspan(*first, drawn + 1), *tension, false);
      break;
    }
    case kDrawEllipse: {
      const auto rect = ReadRect(f.From(0), int16);
      if (!rect) return false;
      painter_->AddArc(*rect, 0, 360, false);
      break;
    }
    case kDrawPie:
    case kDrawArc: {
      const auto start = f.Float(0), sweep = f.Float(4);
      const auto rect = ReadRect(f.From(8), int16);
      if (!start || !sweep || !rect) return false;
      painter_->AddArc(*rect, *start, *sweep, type == kDrawPie);
      break;
    }
    default: {
      const Object* path = objects_.Find(flags & 0xFF, ObjectType::Path);
      if (path == nullptr) return false;
      painter_->AddPath(*path->path);
      break;
    }
  }
  painter_->Stroke(*pen);
  return true;
}

// Image attributes, source unit, source rectangle (pixels), then the
// destination: a rectangle, or a count (3) and the parallelogram's points.
bool Player::PlayImage(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known) {
  if (type != kDrawImage && type != kDrawImagePoints) {
    known = false;
    return false;
  }
  const Object* image = objects_.Find(flags & 0xFF, ObjectType::Image);
  const auto source = ReadRect(Fields(data).From(8), false);
  if (image == nullptr || !source) return false;
  std::vector<PointD> corners;
  if (type == kDrawImage) {
    const auto dest = ReadRect(Fields(data).From(24), (flags & kFlagInt16) != 0);
    if (!dest) return false;
    corners = {{dest->x, dest->y}, {dest->x + dest->width, dest->y}, {dest->x, dest->y + dest->height}};
  } else {
    const auto count = Fields(data).U32(24);
    if (!count || *count != 3) return false;
    auto points = ReadPoints(Fields(data).From(28), 3, PointEncodingOf(flags));
    if (!points) return false;
    corners = std::move(*points);
  }
  const auto toWorld = MapRectToPoints(*source, corners[0], corners[1], corners[2]);
  if (!toWorld) return true;  // an empty source draws nothing
  const PointD fourth{corners[1].x + corners[2].x - corners[0].x, corners[1].y + corners[2].y - corners[0].y};
  const PointD shape[] = {corners[0], corners[1], fourth, corners[2]};
  BeginShape();
  painter_->AddPolygon(shape, true);
  painter_->PaintImage(*image->image, *toWorld);
  return true;
}

// Flags: the slot in the low byte, the object type in the next seven bits,
// and whether the object continues in the next record, in which case the
// data starts with the object's total size.
bool Player::PlayObject(std::uint16_t flags, std::span<const std::uint8_t> data) {
  const std::uint32_t id = flags & 0xFF;
  const auto type = static_cast<ObjectType>((flags >> 8) & 0x7F);
  if (id >= kObjectSlots) return false;
  const bool continuing = pending_.type == type && pending_.id == id && !pending_.bytes.empty();
  if ((flags & kFlagContinued) == 0) {
    if (!continuing) return StoreObject(id, type, data);
    const auto chunk = data.first(
        std::min<std::size_t>(data.size(), static_cast<std::size_t>(pending_.total - pending_.bytes.size())));
    pending_.bytes.insert(pending_.bytes.end(), chunk.begin(), chunk.end());
  } else {
    const auto total = Fields(data).U32(0);
    if (!total || *total > fileBytes_) return false;
    if (!continuing || pending_.total != *total) {
      auto reservation = BudgetReservation::Take(*total);
      if (!reservation) return false;
      pending_ = Pending{id, type, *total, {}, std::move(*reservation)};
      pending_.bytes.reserve(*total);
    }
    // The last piece may carry padding past the object's end.
    const auto chunk = data.subspan(4).first(
        std::min<std::size_t>(data.size() - 4, static_cast<std::size_t>(pending_.total - pending_.bytes.size())));
    pending_.bytes.insert(pending_.bytes.end(), chunk.begin(), chunk.end());
  }
  if (pending_.bytes.size() < pending_.total && (flags & kFlagContinued) != 0) return true;
  Pending done = std::move(pending_);
  pending_ = Pending{};
  return StoreObject(id, type, done.bytes);
}

bool Player::StoreObject(std::uint32_t id, ObjectType type, std::span<const std::uint8_t> bytes) {
  ObjectContext context{canvas_, imagePixelsHeld_};
  auto object = ParseObject(type, bytes, context);
  if (!object) {
    objects_.Put(id, Object{});
    return false;
  }
  objects_.Put(id, std::move(*object));
  return true;
}

}  // namespace pixavue::platform::gdiplus::emfplus
