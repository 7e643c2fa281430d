// The persisted properties: a new control's initial values, and reading and
// writing them through the container's property bag, in a fixed order, each
// with the type and key it has always had.

#include <pixavue/control/image_box.h>

namespace pixavue {

using platform::PropertyBag;
using platform::ReadProperty;
using platform::WriteProperty;

namespace {

// Bag defaults of the values kept in the surface and in the selection
// rectangle rather than in members.
constexpr bool kDefaultClipControls = true;
constexpr std::int16_t kDefaultBorderStyle = BorderFixedSingle;
constexpr std::int16_t kDefaultAppearance = Appearance3D;
constexpr std::int16_t kDefaultBackStyle = bkOpaque;
constexpr std::int32_t kDefaultBackColor = 0;
constexpr std::int16_t kDefaultRectBorderSize = 1;
constexpr std::int32_t kDefaultRectBorderColor = 0;

template <class Enum>
constexpr std::int32_t AsInt32(Enum value) {
  return static_cast<std::int32_t>(value);
}

template <class Enum>
Enum ReadEnum(PropertyBag& bag, std::string_view key, Enum defaultValue) {
  return static_cast<Enum>(ReadProperty(bag, key, AsInt32(defaultValue)));
}

std::int32_t ColorBits(OLE_COLOR color) { return static_cast<std::int32_t>(color); }
OLE_COLOR ReadColor(PropertyBag& bag, std::string_view key, std::int32_t defaultValue) {
  return static_cast<OLE_COLOR>(ReadProperty(bag, key, defaultValue));
}

}  // namespace

void ImageBox::InitProperties() { props_ = ImageBoxProperties{}; }

// Values go into the members (and, where they live there, into the
// elements and the surface); nothing is laid out or drawn.
void ImageBox::ReadProperties(PropertyBag& bag) {
  const ImageBoxProperties d;
  ImageBoxProperties& p = props_;
  p.ScrollBars = ReadProperty(bag, "ScrollBars", d.ScrollBars);
  p.Zoom = ReadProperty(bag, "Zoom", d.Zoom);
  p.ImageWidth = ReadProperty(bag, "ImageWidth", d.ImageWidth);
  p.ImageHeight = ReadProperty(bag, "ImageHeight", d.ImageHeight);
  p.MouseMode = ReadEnum(bag, "MouseMode", d.MouseMode);
  p.ZoomStep = ReadProperty(bag, "ZoomStep", d.ZoomStep);
  p.VerticalResolution = ReadProperty(bag, "VerticalResolution", d.VerticalResolution);
  p.HorizontalResolution = ReadProperty(bag, "HorizontalResolution", d.HorizontalResolution);
  p.PageCount = ReadProperty(bag, "PageCount", d.PageCount);
  p.CurrentPage = ReadProperty(bag, "CurrentPage", d.CurrentPage);
  p.SilentMode = ReadProperty(bag, "SilentMode", d.SilentMode);
  p.ImageForceTemporaryMode = ReadProperty(bag, "ImageForceTemporaryMode", d.ImageForceTemporaryMode);
  p.SkipImageResolution = ReadProperty(bag, "SkipImageResolution", d.SkipImageResolution);
  p.LockControl = ReadProperty(bag, "LockControl", d.LockControl);
  p.ZoomMode = ReadEnum(bag, "ZoomMode", d.ZoomMode);
  p.EnableMouseWheel = ReadProperty(bag, "EnableMouseWheel", d.EnableMouseWheel);
  p.ImageAlignment = ReadEnum(bag, "ImageAlignment", d.ImageAlignment);
  p.ImagePosition = ReadEnum(bag, "ImagePosition", d.ImagePosition);
  p.AnimateGIF = ReadProperty(bag, "AnimateGIF", d.AnimateGIF);
  // The member, then a second read for the window.
  p.Enabled = ReadProperty(bag, "Enabled", d.Enabled);
  surface_.SetEnabled(ReadProperty(bag, "Enabled", d.Enabled));
  p.ScrollSmallChange = ReadProperty(bag, "ScrollSmallChange", d.ScrollSmallChange);
  hScroll_.SetSmallChange(p.ScrollSmallChange);
  vScroll_.SetSmallChange(p.ScrollSmallChange);
  p.ScrollLargeChange = ReadProperty(bag, "ScrollLargeChange", d.ScrollLargeChange);
  hScroll_.SetLargeChange(p.ScrollLargeChange);
  vScroll_.SetLargeChange(p.ScrollLargeChange);
  p.RectDrawMode = ReadEnum(bag, "RectDrawMode", d.RectDrawMode);
  shRect_.SetDrawMode(p.RectDrawMode);
  p.RectBorderStyle = ReadEnum(bag, "RectBorderStyle", d.RectBorderStyle);
  shRect_.SetBorderStyle(p.RectBorderStyle);
  shRect_.SetBorderColor(ReadColor(bag, "RectBorderColor", kDefaultRectBorderColor));
  shRect_.SetBorderWidth(ReadProperty(bag, "RectBorderSize", kDefaultRectBorderSize));
  surface_.SetClipControls(ReadProperty(bag, "ClipControls", kDefaultClipControls));
  surface_.SetBorderStyle(static_cast<ViewerBorderStyle>(ReadProperty(bag, "BorderStyle", kDefaultBorderStyle)));
  surface_.SetAppearance(static_cast<ViewerAppearance>(ReadProperty(bag, "Appearance", kDefaultAppearance)));
  surface_.SetBackStyle(static_cast<ViewerBackStyleMode>(ReadProperty(bag, "BackStyle", kDefaultBackStyle)));
  surface_.SetBackColor(ReadColor(bag, "BackColor", kDefaultBackColor));
  p.ScrollOptimization = ReadProperty(bag, "ScrollOptimization", d.ScrollOptimization);
  p.ViewerQuality = ReadEnum(bag, "ViewerQuality", d.ViewerQuality);
  p.ViewerQualityAuto = ReadProperty(bag, "ViewerQualityAuto", d.ViewerQualityAuto);  // the timer stays off
  p.ForcePictureMode = ReadProperty(bag, "ForcePictureMode", d.ForcePictureMode);
  p.KeepImagePosition = ReadProperty(bag, "KeepImagePosition", d.KeepImagePosition);
  p.MouseWheelMode = ReadEnum(bag, "MouseWheelMode", d.MouseWheelMode);
  p.ViewerDrop = ReadProperty(bag, "ViewerDrop", d.ViewerDrop);
  surface_.SetDropMode(p.ViewerDrop ? SurfaceDropMode::Manual : SurfaceDropMode::None);
  p.DisableAutoFocus = ReadProperty(bag, "DisableAutoFocus", d.DisableAutoFocus);
  p.MousePointer = ReadEnum(bag, "MousePointer", d.MousePointer);
  p.ForceScrollBars = ReadProperty(bag, "ForceScrollBars", d.ForceScrollBars);
  p.ImageMaskColor = ReadColor(bag, "ImageMaskColor", ColorBits(d.ImageMaskColor));
  p.Gamma = ReadProperty(bag, "Gamma", d.Gamma);
  p.RectIsEditable = ReadProperty(bag, "RectIsEditable", d.RectIsEditable);
  p.ContinuousViewMode = ReadProperty(bag, "ContinuousViewMode", d.ContinuousViewMode);
  p.MouseButtonForMouseMode = ReadEnum(bag, "MouseButtonForMouseMode", d.MouseButtonForMouseMode);
  p.OptimizeDrawingSpeed = ReadProperty(bag, "OptimizeDrawingSpeed", d.OptimizeDrawingSpeed);
}

// Each value is written with its default, so that the bag may leave out
// the values that were not changed.
void ImageBox::WriteProperties(PropertyBag& bag) {
  const ImageBoxProperties d;
  const ImageBoxProperties& p = props_;
  WriteProperty(bag, "ScrollBars", p.ScrollBars, d.ScrollBars);
  WriteProperty(bag, "Zoom", p.Zoom, d.Zoom);
  WriteProperty(bag, "ImageWidth", p.ImageWidth, d.ImageWidth);
  WriteProperty(bag, "ImageHeight", p.ImageHeight, d.ImageHeight);
  WriteProperty(bag, "MouseMode", AsInt32(p.MouseMode), AsInt32(d.MouseMode));
  WriteProperty(bag, "ZoomStep", p.ZoomStep, d.ZoomStep);
  WriteProperty(bag, "ScrollSmallChange", p.ScrollSmallChange, d.ScrollSmallChange);
  WriteProperty(bag, "ScrollLargeChange", p.ScrollLargeChange, d.ScrollLargeChange);
  WriteProperty(bag, "VerticalResolution", p.VerticalResolution, d.VerticalResolution);
  WriteProperty(bag, "HorizontalResolution", p.HorizontalResolution, d.HorizontalResolution);
  WriteProperty(bag, "PageCount", p.PageCount, d.PageCount);
  WriteProperty(bag, "CurrentPage", p.CurrentPage, d.CurrentPage);
  WriteProperty(bag, "SilentMode", p.SilentMode, d.SilentMode);
  WriteProperty(bag, "ImageForceTemporaryMode", p.ImageForceTemporaryMode, d.ImageForceTemporaryMode);
  WriteProperty(bag, "SkipImageResolution", p.SkipImageResolution, d.SkipImageResolution);
  WriteProperty(bag, "LockControl", p.LockControl, d.LockControl);
  WriteProperty(bag, "ZoomMode", AsInt32(p.ZoomMode), AsInt32(d.ZoomMode));
  WriteProperty(bag, "RectBorderStyle", AsInt32(p.RectBorderStyle), AsInt32(d.RectBorderStyle));
  WriteProperty(bag, "RectDrawMode", AsInt32(p.RectDrawMode), AsInt32(d.RectDrawMode));
  WriteProperty(bag, "Enabled", p.Enabled, d.Enabled);
  WriteProperty(bag, "EnableMouseWheel", p.EnableMouseWheel, d.EnableMouseWheel);
  WriteProperty(bag, "ImageAlignment", AsInt32(p.ImageAlignment), AsInt32(d.ImageAlignment));
  WriteProperty(bag, "ImagePosition", AsInt32(p.ImagePosition), AsInt32(d.ImagePosition));
  WriteProperty(bag, "AnimateGIF", p.AnimateGIF, d.AnimateGIF);
  WriteProperty(bag, "RectBorderSize", shRect_.BorderWidth(), kDefaultRectBorderSize);
  WriteProperty(bag, "ClipControls", surface_.ClipControls(), kDefaultClipControls);
  WriteProperty(bag, "RectBorderColor", ColorBits(shRect_.BorderColor()), kDefaultRectBorderColor);
  WriteProperty(bag, "BorderStyle", static_cast<std::int16_t>(surface_.BorderStyle()), kDefaultBorderStyle);
  WriteProperty(bag, "Appearance", static_cast<std::int16_t>(surface_.Appearance()), kDefaultAppearance);
  WriteProperty(bag, "BackStyle", static_cast<std::int16_t>(surface_.BackStyle()), kDefaultBackStyle);
  WriteProperty(bag, "BackColor", ColorBits(surface_.BackColor()), kDefaultBackColor);
  WriteProperty(bag, "ScrollOptimization", p.ScrollOptimization, d.ScrollOptimization);
  WriteProperty(bag, "ViewerQuality", AsInt32(p.ViewerQuality), AsInt32(d.ViewerQuality));
  WriteProperty(bag, "ViewerQualityAuto", p.ViewerQualityAuto, d.ViewerQualityAuto);
  WriteProperty(bag, "ForcePictureMode", p.ForcePictureMode, d.ForcePictureMode);
  WriteProperty(bag, "KeepImagePosition", p.KeepImagePosition, d.KeepImagePosition);
  WriteProperty(bag, "MouseWheelMode", AsInt32(p.MouseWheelMode), AsInt32(d.MouseWheelMode));
  WriteProperty(bag, "ViewerDrop", p.ViewerDrop, d.ViewerDrop);
  WriteProperty(bag, "DisableAutoFocus", p.DisableAutoFocus, d.DisableAutoFocus);
  WriteProperty(bag, "MousePointer", AsInt32(p.MousePointer), AsInt32(d.MousePointer));
  WriteProperty(bag, "ForceScrollBars", p.ForceScrollBars, d.ForceScrollBars);
  WriteProperty(bag, "ImageMaskColor", ColorBits(p.ImageMaskColor), ColorBits(d.ImageMaskColor));
  WriteProperty(bag, "Gamma", p.Gamma, d.Gamma);
  WriteProperty(bag, "RectIsEditable", p.RectIsEditable, d.RectIsEditable);
  WriteProperty(bag, "ContinuousViewMode", p.ContinuousViewMode, d.ContinuousViewMode);
  WriteProperty(bag, "MouseButtonForMouseMode", AsInt32(p.MouseButtonForMouseMode), AsInt32(d.MouseButtonForMouseMode));
  WriteProperty(bag, "OptimizeDrawingSpeed", p.OptimizeDrawingSpeed, d.OptimizeDrawingSpeed);
}

}  // namespace pixavue
