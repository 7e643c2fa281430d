#pragma once
// The drawing state a metafile's records change, as a device context keeps
// it: selected pen, brush and font, colours, modes, the mapping from logical
// to device coordinates and the current position. Shared by the WMF and EMF
// players.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "load_budget.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus::metafile {

using ColorRef = std::uint32_t;  // 0x00BBGGRR

struct PointD final {
  double x = 0;
  double y = 0;
};

struct RectD final {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// A region's rectangles as read from a record, with the memory they take
// reserved against the current load.
struct RegionRects final {
  std::vector<RectD> rects;
  BudgetReservation reservation;
};

// The rectangle of `size` (negative: towards smaller coordinates) at `origin`.
inline RectD RectFrom(PointD origin, PointD size) {
  return RectD{origin.x, origin.y, origin.x + size.x, origin.y + size.y};
}

// Pen styles (low bits), end caps, joins and the geometric flag.
inline constexpr std::uint32_t kPenSolid = 0;
inline constexpr std::uint32_t kPenDash = 1;
inline constexpr std::uint32_t kPenDot = 2;
inline constexpr std::uint32_t kPenDashDot = 3;
inline constexpr std::uint32_t kPenDashDotDot = 4;
inline constexpr std::uint32_t kPenNull = 5;
inline constexpr std::uint32_t kPenStyleMask = 0x0F;
inline constexpr std::uint32_t kPenEndCapMask = 0x0F00;
inline constexpr std::uint32_t kPenEndCapSquare = 0x0100;
inline constexpr std::uint32_t kPenEndCapFlat = 0x0200;
inline constexpr std::uint32_t kPenJoinMask = 0xF000;
inline constexpr std::uint32_t kPenJoinBevel = 0x1000;
inline constexpr std::uint32_t kPenJoinMiter = 0x2000;
inline constexpr std::uint32_t kPenGeometric = 0x00010000;

// Brush styles and hatch patterns.
inline constexpr std::uint32_t kBrushSolid = 0;
inline constexpr std::uint32_t kBrushNull = 1;
inline constexpr std::uint32_t kBrushHatched = 2;
inline constexpr std::uint32_t kHatchDiagonalCross = 5;

// Background modes, polygon fill modes, arc directions.
inline constexpr std::uint32_t kBackgroundTransparent = 1;
inline constexpr std::uint32_t kBackgroundOpaque = 2;
inline constexpr std::uint32_t kFillAlternate = 1;
inline constexpr std::uint32_t kFillWinding = 2;
inline constexpr std::uint32_t kArcCounterClockwise = 1;
inline constexpr std::uint32_t kArcClockwise = 2;

// Mapping modes.
inline constexpr std::uint32_t kMapText = 1;
inline constexpr std::uint32_t kMapLoMetric = 2;
inline constexpr std::uint32_t kMapHiMetric = 3;
inline constexpr std::uint32_t kMapLoEnglish = 4;
inline constexpr std::uint32_t kMapHiEnglish = 5;
inline constexpr std::uint32_t kMapTwips = 6;
inline constexpr std::uint32_t kMapIsotropic = 7;
inline constexpr std::uint32_t kMapAnisotropic = 8;

// Text alignment.
inline constexpr std::uint32_t kAlignUpdateCurrentPosition = 0x01;
inline constexpr std::uint32_t kAlignRight = 0x02;
inline constexpr std::uint32_t kAlignCenter = 0x06;
inline constexpr std::uint32_t kAlignHorizontalMask = 0x06;
inline constexpr std::uint32_t kAlignBottom = 0x08;
inline constexpr std::uint32_t kAlignBaseline = 0x18;
inline constexpr std::uint32_t kAlignVerticalMask = 0x18;

// ExtTextOut options.
inline constexpr std::uint32_t kTextOpaque = 0x0002;
inline constexpr std::uint32_t kTextClipped = 0x0004;

struct Pen final {
  std::uint32_t style = kPenSolid;
  double width = 0;  // logical units; 0 draws one pixel wide
  ColorRef color = 0;
};

struct Brush final {
  std::uint32_t style = kBrushSolid;
  ColorRef color = 0xFFFFFF;
  std::uint32_t hatch = 0;
  // A bitmap pattern (32bppPARGB), tiled from the device origin.
  std::shared_ptr<const PixelBuffer> pattern;
};

struct Font final {
  double height = 0;      // logical units: < 0 character height, > 0 cell height, 0 default
  double escapement = 0;  // tenths of a degree, counter-clockwise
  std::int32_t weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charset = 0;
  std::uint8_t pitchAndFamily = 0;
  std::string face;  // UTF-8
};

// A world or page transform: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct Transform final {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
};

// The page transform's inputs.
struct PageMapping final {
  std::uint32_t mode = kMapText;
  PointD windowOrigin;
  PointD windowExtent{1, 1};
  PointD viewportOrigin;
  PointD viewportExtent{1, 1};
};

struct DeviceState final {
  Pen pen;
  Brush brush;
  Font font;
  ColorRef textColor = 0;
  ColorRef backgroundColor = 0xFFFFFF;
  std::uint32_t backgroundMode = kBackgroundOpaque;
  std::uint32_t fillMode = kFillAlternate;
  std::uint32_t textAlign = 0;
  std::uint32_t arcDirection = kArcCounterClockwise;
  double miterLimit = 10;
  PageMapping page;
  Transform world;
  PointD position;  // current position, logical
};

}  // namespace pixavue::platform::gdiplus::metafile
