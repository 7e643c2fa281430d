#pragma once
// The control's surface: its own child window on the container's window,
// and the attributes the control passes through or sets on it (colour,
// style, border, pointer, drop mode, retention of drawings). The host shows
// the surface with these attributes; the control's child elements are
// windows on the surface.

#include <cstdint>

#include <pixavue/control/viewer_enums.h>
#include <pixavue/platform/window/element_window.h>

namespace pixavue {

using OLE_COLOR = std::uint32_t;  // red in the low byte

// Drop modes of the surface.
enum class SurfaceDropMode : std::int32_t { None = 0, Manual = 1 };

class ControlSurface final {
 public:
  // Cursor resources of the library that the surface can show as its mouse
  // icon (pointer 99).
  static constexpr std::int32_t kNoMouseIcon = 0;
  static constexpr std::int32_t kClosedHandCursor = 103;  // a pan drag in progress
  static constexpr std::int32_t kOpenHandCursor = 104;    // pan mode, no drag

  ControlSurface(platform::HWND parent, platform::ElementWindow::Handler handler);
  ControlSurface(const ControlSurface&) = delete;
  ControlSurface& operator=(const ControlSurface&) = delete;

  platform::HWND Window() const { return window_.Handle(); }
  bool IsLive() const { return window_.IsLive(); }
  // The client area in pixels.
  int ScaleWidth() const { return window_.Width(); }
  int ScaleHeight() const { return window_.Height(); }
  bool Enabled() const { return window_.Enabled(); }
  void SetEnabled(bool enabled) { window_.SetEnabled(enabled); }

  // A new surface is opaque, 3D, with a single border, clipping its
  // children, black, and keeps what is drawn on it.
  OLE_COLOR BackColor() const { return backColor_; }
  void SetBackColor(OLE_COLOR color) { backColor_ = color; }
  ViewerBackStyleMode BackStyle() const { return backStyle_; }
  void SetBackStyle(ViewerBackStyleMode style) { backStyle_ = style; }
  ViewerAppearance Appearance() const { return appearance_; }
  void SetAppearance(ViewerAppearance appearance) { appearance_ = appearance; }
  ViewerBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(ViewerBorderStyle style) { borderStyle_ = style; }
  bool ClipControls() const { return clipControls_; }
  void SetClipControls(bool clip) { clipControls_ = clip; }
  bool AutoRedraw() const { return autoRedraw_; }
  void SetAutoRedraw(bool retain) { autoRedraw_ = retain; }

  MousePointers MousePointer() const { return mousePointer_; }
  void SetMousePointer(MousePointers pointer) { mousePointer_ = pointer; }
  // The cursor resource shown for pointer 99, kNoMouseIcon when none.
  std::int32_t MouseIconResource() const { return mouseIconResource_; }
  void SetMouseIconResource(std::int32_t resource) { mouseIconResource_ = resource; }

  SurfaceDropMode DropMode() const { return dropMode_; }
  void SetDropMode(SurfaceDropMode mode) { dropMode_ = mode; }

  // Clears the surface to its background colour: the host repaints it.
  void Cls();

 private:
  platform::ElementWindow window_;
  OLE_COLOR backColor_ = 0;
  ViewerBackStyleMode backStyle_ = bkOpaque;
  ViewerAppearance appearance_ = Appearance3D;
  ViewerBorderStyle borderStyle_ = BorderFixedSingle;
  bool clipControls_ = true;
  bool autoRedraw_ = true;
  MousePointers mousePointer_ = MousePointerDefault;
  std::int32_t mouseIconResource_ = kNoMouseIcon;
  SurfaceDropMode dropMode_ = SurfaceDropMode::None;
};

}  // namespace pixavue
