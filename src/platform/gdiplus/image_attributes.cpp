// Image attributes: the flat functions that set them and the per-row
// application of their colour adjustments.

#include "image_attributes.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include "graphics_registry.h"
#include "session.h"

namespace pixavue::platform {
namespace {

gdiplus::LiveObjects<GpImageAttributes>& LiveAttributes() {
  static gdiplus::LiveObjects<GpImageAttributes> live;
  return live;
}

// The category an adjustment is set for, or null for a bad type or object.
GpStatus FindCategory(GpImageAttributes* attributes, ColorAdjustType type, GpImageAttributes::Adjustments*& category) {
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (!LiveAttributes().IsLive(attributes)) return InvalidParameter;
  if (type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount) return InvalidParameter;
  category = &attributes->categories[static_cast<std::size_t>(type)];
  return Ok;
}

constexpr std::uint32_t Channel(ARGB colour, int shift) { return (colour >> shift) & 0xFF; }

}  // namespace

namespace gdiplus {

std::optional<ColorAdjuster> ColorAdjuster::ForImages(const GpImageAttributes* attributes) {
  if (attributes == nullptr) return std::nullopt;
  const auto& bitmap = attributes->categories[ColorAdjustTypeBitmap];
  const auto& chosen = bitmap.any() ? bitmap : attributes->categories[ColorAdjustTypeDefault];
  if (!chosen.any()) return std::nullopt;
  return ColorAdjuster(chosen);
}

ColorAdjuster::ColorAdjuster(const GpImageAttributes::Adjustments& adjustments)
    : remap_(adjustments.remap), colorKey_(adjustments.colorKey) {
  // The first entry of equal old colours wins, as a linear search would.
  std::stable_sort(remap_.begin(), remap_.end(),
                   [](const ColorMap& a, const ColorMap& b) { return a.oldColor < b.oldColor; });
  if (adjustments.gamma && *adjustments.gamma != 1.0f) {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t v = 0; v < table.size(); ++v) {
      const double level = std::pow(static_cast<double>(v) / 255.0, static_cast<double>(*adjustments.gamma));
      table[v] = static_cast<std::uint8_t>(std::lround(std::clamp(level, 0.0, 1.0) * 255.0));
    }
    gammaTable_ = table;
  }
}

ARGB ColorAdjuster::Remapped(ARGB colour) const {
  const auto found = std::lower_bound(remap_.begin(), remap_.end(), colour,
                                      [](const ColorMap& entry, ARGB c) { return entry.oldColor < c; });
  return found != remap_.end() && found->oldColor == colour ? found->newColor : colour;
}

bool ColorAdjuster::InKeyRange(ARGB colour) const {
  for (const int shift : {16, 8, 0}) {
    const std::uint32_t c = Channel(colour, shift);
    if (c < Channel(colorKey_->low, shift) || c > Channel(colorKey_->high, shift)) return false;
  }
  return true;
}

void ColorAdjuster::Apply(ARGB* pixels, std::uint32_t count) const {
  for (std::uint32_t i = 0; i < count; ++i) {
    ARGB colour = remap_.empty() ? pixels[i] : Remapped(pixels[i]);
    if (colorKey_ && InKeyRange(colour)) colour = 0;
    if (gammaTable_) {
      const auto& g = *gammaTable_;
      colour = (colour & 0xFF000000u) | (ARGB{g[Channel(colour, 16)]} << 16) | (ARGB{g[Channel(colour, 8)]} << 8) |
               g[Channel(colour, 0)];
    }
    pixels[i] = colour;
  }
}

bool IsLiveImageAttributes(const GpImageAttributes* attributes) { return LiveAttributes().IsLive(attributes); }

}  // namespace gdiplus

GpStatus GdipCreateImageAttributes(GpImageAttributes** imageAttributes) {
  if (imageAttributes != nullptr) *imageAttributes = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (imageAttributes == nullptr) return InvalidParameter;
  try {
    *imageAttributes = LiveAttributes().Register(std::make_unique<GpImageAttributes>());
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  return Ok;
}

GpStatus GdipDisposeImageAttributes(GpImageAttributes* imageAttributes) {
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  return LiveAttributes().Dispose(imageAttributes) ? Ok : InvalidParameter;
}

GpStatus GdipSetImageAttributesGamma(GpImageAttributes* imageAttributes, ColorAdjustType type, BOOL enableFlag,
                                     REAL gamma) {
  GpImageAttributes::Adjustments* category = nullptr;
  const GpStatus status = FindCategory(imageAttributes, type, category);
  if (status != Ok) return status;
  if (enableFlag == 0) {
    category->gamma.reset();
    return Ok;
  }
  if (!std::isfinite(gamma) || gamma <= 0.0f) return InvalidParameter;
  category->gamma = gamma;
  return Ok;
}

GpStatus GdipSetImageAttributesRemapTable(GpImageAttributes* imageAttributes, ColorAdjustType type, BOOL enableFlag,
                                          UINT32 mapSize, const ColorMap* map) {
  GpImageAttributes::Adjustments* category = nullptr;
  const GpStatus status = FindCategory(imageAttributes, type, category);
  if (status != Ok) return status;
  if (enableFlag == 0) {
    category->remap.clear();
    return Ok;
  }
  if (mapSize == 0 || map == nullptr) return InvalidParameter;
  try {
    category->remap.assign(map, map + mapSize);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  return Ok;
}

GpStatus GdipSetImageAttributesColorKeys(GpImageAttributes* imageAttributes, ColorAdjustType type, BOOL enableFlag,
                                         ARGB colorLow, ARGB colorHigh) {
  GpImageAttributes::Adjustments* category = nullptr;
  const GpStatus status = FindCategory(imageAttributes, type, category);
  if (status != Ok) return status;
  if (enableFlag == 0) {
    category->colorKey.reset();
  } else {
    category->colorKey = GpImageAttributes::ColorKey{colorLow, colorHigh};
  }
  return Ok;
}

}  // namespace pixavue::platform
