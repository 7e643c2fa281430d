#include "metafile_objects.h"

#include <utility>

namespace pixavue::platform::gdiplus::metafile {
namespace {

GdiObject SolidBrush(ColorRef color) {
  GdiObject object;
  object.kind = GdiObject::Kind::Brush;
  object.brush.color = color;
  return object;
}

GdiObject NullBrush() {
  GdiObject object = SolidBrush(0);
  object.brush.style = kBrushNull;
  return object;
}

GdiObject StockPen(std::uint32_t style, ColorRef color) {
  GdiObject object;
  object.kind = GdiObject::Kind::Pen;
  object.pen.style = style;
  object.pen.color = color;
  return object;
}

GdiObject StockFont(std::uint8_t pitchAndFamily) {
  GdiObject object;
  object.kind = GdiObject::Kind::Font;
  object.font.pitchAndFamily = pitchAndFamily;
  return object;
}

constexpr std::uint8_t kFixedPitch = 0x01;

}  // namespace

bool ObjectTable::Add(GdiObject object) {
  return Put(holes_.empty() ? end_ : holes_.begin()->first, std::move(object));
}

bool ObjectTable::Put(std::uint32_t index, GdiObject object) {
  if (index >= kMaxObjects) return false;
  Occupy(index);
  slots_.insert_or_assign(index, std::move(object));
  return true;
}

const GdiObject* ObjectTable::Find(std::uint32_t index) const {
  const auto found = slots_.find(index);
  return found == slots_.end() ? nullptr : &found->second;
}

void ObjectTable::Delete(std::uint32_t index) {
  if (slots_.erase(index) != 0) Free(index);
}

void ObjectTable::Occupy(std::uint32_t index) {
  if (index >= end_) {
    if (index > end_) holes_.emplace(end_, index);
    end_ = index + 1;
    return;
  }
  // The hole holding `index`, if any, is the last one starting at or below it.
  auto hole = holes_.upper_bound(index);
  if (hole == holes_.begin()) return;
  --hole;
  const auto [first, last] = *hole;
  if (index >= last) return;
  holes_.erase(hole);
  if (first < index) holes_.emplace(first, index);
  if (index + 1 < last) holes_.emplace(index + 1, last);
}

void ObjectTable::Free(std::uint32_t index) {
  std::uint32_t first = index, last = index + 1;
  if (const auto after = holes_.find(last); after != holes_.end()) {
    last = after->second;
    holes_.erase(after);
  }
  if (auto before = holes_.lower_bound(index); before != holes_.begin() && (--before)->second == index) {
    first = before->first;
    holes_.erase(before);
  }
  // A hole that reaches the end is not a hole: the table ends below it.
  if (last == end_) {
    end_ = first;
    return;
  }
  holes_.emplace(first, last);
}

void SelectInto(const GdiObject& object, DeviceState& state) {
  switch (object.kind) {
    case GdiObject::Kind::Pen: state.pen = object.pen; break;
    case GdiObject::Kind::Brush: state.brush = object.brush; break;
    case GdiObject::Kind::Font: state.font = object.font; break;
    case GdiObject::Kind::Region:  // painted with by index, never selected
    case GdiObject::Kind::Other: break;
  }
}

std::optional<GdiObject> StockObject(std::uint32_t index) {
  switch (index) {
    case 0: return SolidBrush(0xFFFFFF);
    case 1: return SolidBrush(0xC0C0C0);
    case 2: return SolidBrush(0x808080);
    case 3: return SolidBrush(0x404040);
    case 4: return SolidBrush(0x000000);
    case 5: return NullBrush();
    case 6: return StockPen(kPenSolid, 0xFFFFFF);
    case 7: return StockPen(kPenSolid, 0x000000);
    case 8: return StockPen(kPenNull, 0x000000);
    case 10:
    case 11:
    case 16: return StockFont(kFixedPitch);
    case 12:
    case 13:
    case 14:
    case 17: return StockFont(0);
    case 15: return GdiObject{};
    case 18: return SolidBrush(0xFFFFFF);
    case 19: return StockPen(kPenSolid, 0x000000);
    default: return std::nullopt;
  }
}

}  // namespace pixavue::platform::gdiplus::metafile
