#pragma once
// The enumerations of the control's interface, with their fixed values.
// They are plain enumerations with a 32-bit base, as at a COM interface: a
// property may hold a value that names no member (a setter decides what to
// do with it), so no value is lost on the way in or out.

#include <cstdint>

namespace pixavue {

enum ViewerZoomMode : std::int32_t {
  Zoom100 = 1,
  ZoomFitToControl = 2,
  ZoomWidthControl = 3,
  ZoomCustom = 4,
  ZoomHeightControl = 5,
  ZoomToControl = 6,
  // Internal: zoom to the area of ZoomArea, or to the selection rectangle;
  // both become ZoomCustom once applied.
  ZoomModeArea = 7,
  ZoomModeSelection = 10,
};

// ImagePosition and ImageAlignment share one 3 x 3 grid: columns left
// {0, 4, 7}, centre {2, 6, 9}, right {1, 5, 8}; rows middle {0, 1, 2},
// top {4, 5, 6}, bottom {7, 8, 9}. 3 is no member.
enum ViewerImagePosition : std::int32_t {
  ImagePositionMiddleLeft = 0,
  ImagePositionMiddleRight = 1,
  ImagePositionMiddleCenter = 2,
  ImagePositionTopLeft = 4,
  ImagePositionTopRight = 5,
  ImagePositionTopCenter = 6,
  ImagePositionBottomLeft = 7,
  ImagePositionBottomRight = 8,
  ImagePositionBottomCenter = 9,
};

enum ViewerImageAlignment : std::int32_t {
  ImageAlignmentMiddleLeft = 0,
  ImageAlignmentMiddleRight = 1,
  ImageAlignmentMiddleCenter = 2,
  ImageAlignmentTopLeft = 4,
  ImageAlignmentTopRight = 5,
  ImageAlignmentTopCenter = 6,
  ImageAlignmentBottomLeft = 7,
  ImageAlignmentBottomRight = 8,
  ImageAlignmentBottomCenter = 9,
};

enum ViewerBackStyleMode : std::int32_t {
  bkTransparent = 0,
  bkOpaque = 1,
};

enum ViewerAppearance : std::int32_t {
  AppearanceFlat = 0,
  Appearance3D = 1,
};

enum ViewerBorderStyle : std::int32_t {
  BorderNone = 0,
  BorderFixedSingle = 1,
};

enum ViewerMouseMode : std::int32_t {
  MouseModeDefault = 0,
  MouseModeAreaSelection = 1,
  MouseModePan = 2,
  MouseModeAutoZoom = 3,
};

enum ViewerMouseWheelMode : std::int32_t {
  MouseWheelZoom = 0,
  MouseWheelVerticalScroll = 1,
  MouseWheelPageChange = 2,
};

// Button states as mouse notifications carry them (several may be held).
enum MouseButton : std::int32_t {
  MouseButtonLeft = 1,
  MouseButtonRight = 2,
  MouseButtonMiddle = 4,
};

// Mouse pointers of the surface; 99 shows the surface's own mouse icon.
enum MousePointers : std::int32_t {
  MousePointerDefault = 0,
  MousePointerArrow = 1,
  MousePointerCross = 2,
  MousePointerIBeam = 3,
  MousePointerIcon = 4,
  MousePointerSize = 5,
  MousePointerSize_NE_SW = 6,
  MousePointerSize_N_S = 7,
  MousePointerSize_NW_SE = 8,
  MousePointerSize_W_E = 9,
  MousePointerUpArrow = 10,
  MousePointerHourglass = 11,
  MousePointerNoDrop = 12,
  MousePointerArrowHourglass = 13,
  MousePointerArrowQuestion = 14,
  MousePointerSizeAll = 15,
  MousePointerCustom = 99,
};

enum ViewerRectBorderStyle : std::int32_t {
  RectBorderStyleSolid = 1,
  RectBorderStyleDash = 2,
  RectBorderStyleDot = 3,
  RectBorderStyleDashDot = 4,
  RectBorderStyleDashDotDot = 5,
};

// The binary raster operations combining the rectangle's pen with the
// pixels below it.
enum ViewerRectDrawMode : std::int32_t {
  RectDrawModeBlackNess = 1,
  RectDrawModeNotMergePen = 2,
  RectDrawModeMaskNotPen = 3,
  RectDrawModeNotCopyPen = 4,
  RectDrawModeMaskPenNot = 5,
  RectDrawModeInvert = 6,
  RectDrawModeXorPen = 7,
  RectDrawModeNotMaskPen = 8,
  RectDrawModeMaskPen = 9,
  RectDrawModeNotXorPen = 10,
  RectDrawModeNop = 11,
  RectDrawModeMergeNotPen = 12,
  RectDrawModeCopypen = 13,
  RectDrawModeMergePenNot = 14,
  RectDrawModeMergePen = 15,
  RectDrawModeWhiteness = 16,
};

// Resampling quality of the drawn image.
enum ViewerQuality : std::int32_t {
  ViewerQualityLow = 0,
  ViewerQualityBilinear = 1,
  ViewerQualityBicubic = 2,
  ViewerQualityBilinearHQ = 3,
  ViewerQualityBicubicHQ = 4,
};

}  // namespace pixavue
