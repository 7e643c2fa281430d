#pragma once
// The control's surface: its own child window on the container's window,
// and the attributes the control passes through or sets on it (colour,
// style, border, pointer, drop mode, retention of drawings, background and
// mask pictures). The host shows the surface with these attributes; the
// control's child elements are windows on the surface.
//
// What the host presents:
// - with retention on (AutoRedraw), the retained 32-bit drawing, opaque;
// - with retention off, the background colour with the background picture
//   composited over it at the top-left corner;
// - with a mask picture, only the pixels where the mask is not fully
//   transparent belong to the control; the rest shows what lies behind it.

#include <cstdint>
#include <functional>
#include <utility>

#include <pixavue/control/viewer_enums.h>
#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/drag_drop.h>
#include <pixavue/platform/ole/picture.h>
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
  ~ControlSurface();
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

  // Drops reach the handler only in the manual mode: the surface's window
  // is then registered as a drop target.
  using DropHandler =
      std::function<void(const platform::DataObject& data, std::int32_t& effect, const platform::DropPoint& point)>;
  SurfaceDropMode DropMode() const { return dropMode_; }
  void SetDropMode(SurfaceDropMode mode);
  void SetDropHandler(DropHandler handler) { dropTarget_.handler = std::move(handler); }

  // The device context over the retained drawing, sized to the client
  // area: the same context until the size changes, then a new one. Parts
  // new to the drawing are filled with the background colour. 0 when the
  // window is gone or memory runs out.
  platform::HDC Hdc();

  // The background picture, shown without retention; and the mask picture.
  const platform::ComPtr<platform::IPicture>& Picture() const { return picture_; }
  void SetPicture(platform::ComPtr<platform::IPicture> picture);
  const platform::ComPtr<platform::IPicture>& MaskPicture() const { return maskPicture_; }
  void SetMaskPicture(platform::ComPtr<platform::IPicture> picture);

  // Fills the retained drawing with the background colour: the host
  // repaints it.
  void Cls();
  // Asks the host to present the surface again.
  void Refresh();

 private:
  struct DropTarget final : platform::IDropTarget {
    void Drop(const platform::DataObject& data, std::int32_t& effect, const platform::DropPoint& point) override {
      if (handler) handler(data, effect, point);
    }
    DropHandler handler;
  };

  void ReleaseHdc();
  void FillNewParts(int oldWidth, int oldHeight);

  platform::ElementWindow window_;
  platform::HDC hdc_{};
  int hdcWidth_ = 0;
  int hdcHeight_ = 0;
  platform::ComPtr<platform::IPicture> picture_;
  platform::ComPtr<platform::IPicture> maskPicture_;
  OLE_COLOR backColor_ = 0;
  ViewerBackStyleMode backStyle_ = bkOpaque;
  ViewerAppearance appearance_ = Appearance3D;
  ViewerBorderStyle borderStyle_ = BorderFixedSingle;
  bool clipControls_ = true;
  bool autoRedraw_ = true;
  MousePointers mousePointer_ = MousePointerDefault;
  std::int32_t mouseIconResource_ = kNoMouseIcon;
  SurfaceDropMode dropMode_ = SurfaceDropMode::None;
  DropTarget dropTarget_;
};

}  // namespace pixavue
