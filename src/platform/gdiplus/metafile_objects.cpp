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
  std::uint32_t index = firstFree_;
  while (index < slots_.size() && slots_[index]) ++index;
  if (!Put(index, std::move(object))) return false;
  firstFree_ = index + 1;
  return true;
}

bool ObjectTable::Put(std::uint32_t index, GdiObject object) {
  if (index >= kMaxObjects) return false;
  if (index >= slots_.size()) slots_.resize(std::size_t{index} + 1);
  slots_[index] = std::move(object);
  return true;
}

const GdiObject* ObjectTable::Find(std::uint32_t index) const {
  if (index >= slots_.size() || !slots_[index]) return nullptr;
  return &*slots_[index];
}

void ObjectTable::Delete(std::uint32_t index) {
  if (index >= slots_.size()) return;
  slots_[index].reset();
  if (index < firstFree_) firstFree_ = index;
}

void SelectInto(const GdiObject& object, DeviceState& state) {
  switch (object.kind) {
    case GdiObject::Kind::Pen: state.pen = object.pen; break;
    case GdiObject::Kind::Brush: state.brush = object.brush; break;
    case GdiObject::Kind::Font: state.font = object.font; break;
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
