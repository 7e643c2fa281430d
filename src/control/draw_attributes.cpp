#include "draw_attributes.h"

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

namespace pixavue::control {

using namespace pixavue::platform;

namespace {
constexpr BOOL kEnabled = 1;
}  // namespace

bool DrawAttributes::Ensure() {
  if (attributes_ != nullptr) return true;
  if (GdipCreateImageAttributes(&attributes_) == Ok) return true;
  attributes_ = nullptr;
  return false;
}

void DrawAttributes::SetGamma(float gamma) {
  if (Ensure()) GdipSetImageAttributesGamma(attributes_, ColorAdjustTypeDefault, kEnabled, gamma);
}

void DrawAttributes::RemapToTransparent(ARGB colour) {
  if (!Ensure()) return;
  const ColorMap map{colour, 0};
  GdipSetImageAttributesRemapTable(attributes_, ColorAdjustTypeDefault, kEnabled, 1, &map);
}

void DrawAttributes::Dispose() {
  if (attributes_ == nullptr) return;
  GdipDisposeImageAttributes(attributes_);
  attributes_ = nullptr;
}

}  // namespace pixavue::control
