#pragma once
// The members of an ImageBox, in two groups: the persisted properties (with
// the initial values of a new control, which are also the property-bag
// defaults) and the run-time state (with its values after creation). Hosts
// and tests read them through ImageBox::Properties() and ImageBox::Runtime().

#include <cstdint>
#include <vector>

#include <pixavue/control/viewer_enums.h>
#include <pixavue/engine/engine_state.h>
#include <pixavue/platform/window/types.h>
#include <pixavue/support/color.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue {

using OLE_COLOR = std::uint32_t;

// RGB(0, 0, 1): the mask colour that means "no mask colour".
inline constexpr OLE_COLOR kNoMaskColor = 65536;

// Persisted members. RectBorderSize and RectBorderColor live in the
// selection rectangle, and BackColor, BackStyle, Appearance, BorderStyle and
// ClipControls in the surface; they are not members.
struct ImageBoxProperties {
  bool AnimateGIF = false;
  ViewerRectBorderStyle RectBorderStyle = RectBorderStyleSolid;
  ViewerZoomMode ZoomMode = Zoom100;
  bool ScrollBars = true;
  double Zoom = 1.0;  // screen pixels per image pixel, horizontally
  std::int32_t PageCount = 0;
  std::int32_t CurrentPage = 0;  // 1-based
  std::int16_t ScrollLargeChange = 50;
  std::int16_t ScrollSmallChange = 1;
  std::int32_t ZoomStep = 10;  // percentage points
  ViewerMouseMode MouseMode = MouseModePan;
  std::int32_t ImageWidth = 0;
  std::int32_t ImageHeight = 0;
  bool LockControl = false;
  float VerticalResolution = 0;  // dots per inch
  float HorizontalResolution = 0;
  bool SilentMode = false;
  bool ImageForceTemporaryMode = false;
  bool SkipImageResolution = false;
  ViewerRectDrawMode RectDrawMode = RectDrawModeCopypen;
  bool Enabled = true;
  bool EnableMouseWheel = true;
  ViewerImageAlignment ImageAlignment = ImageAlignmentMiddleCenter;
  ViewerImagePosition ImagePosition = ImagePositionMiddleCenter;
  bool ScrollOptimization = false;
  pixavue::ViewerQuality ViewerQuality = ViewerQualityBicubicHQ;
  bool ViewerQualityAuto = false;
  bool ForcePictureMode = false;
  bool KeepImagePosition = false;
  ViewerMouseWheelMode MouseWheelMode = MouseWheelZoom;
  bool ViewerDrop = false;
  bool DisableAutoFocus = false;
  MousePointers MousePointer = MousePointerDefault;
  bool ForceScrollBars = false;
  OLE_COLOR ImageMaskColor = kNoMaskColor;
  float Gamma = 1.0f;
  bool RectIsEditable = true;
  bool ContinuousViewMode = true;
  pixavue::MouseButton MouseButtonForMouseMode = MouseButtonLeft;
  bool OptimizeDrawingSpeed = false;

  friend bool operator==(const ImageBoxProperties&, const ImageBoxProperties&) = default;
};

// Members that are not persisted.
struct ImageBoxRuntime {
  QuorvexStatus LastStatus = QuorvexStatus::OK;
  // The current image's size and resolutions were read: there is something
  // to lay out and draw. A failed member call leaves LastStatus, not this.
  bool ImageAdopted = false;
  engine::EngineState EngineState;  // CurrentImage, DisplayCopy, TempFilePath ...

  // View geometry (screen pixels unless stated).
  double PixelAspect = 1.0;  // VerticalResolution / HorizontalResolution; always > 0
  double MaxZoom = 1.0;
  double PreviousZoom = 0;
  std::int32_t ImageOffsetX = 0, ImageOffsetY = 0;
  std::int32_t DisplayedWidth = 0, DisplayedHeight = 0;
  std::int32_t SourceLeft = 0, SourceTop = 0, SourceWidth = 0, SourceHeight = 0;  // image pixels
  std::int32_t AreaLeft = 0, AreaTop = 0, AreaWidth = 0, AreaHeight = 0;          // image pixels
  bool AlignPendingX = true, AlignPendingY = true;
  bool AlignOnce = true;
  bool LayoutSinceLoad = false;
  bool ScrollNotify = true;
  bool ScrollKeyPending = false;
  std::int16_t SavedHValue = 0, SavedVValue = 0;

  // Rendering.
  bool HighQualityPass = false;
  bool LastRenderFailed = false;

  // Frames and animation.
  bool IsAnimatedGif = false;
  std::vector<std::int32_t> FrameDelays;  // milliseconds, one per frame
  bool PageFlipInProgress = false;
  bool GifTimerRunning = false;
  platform::UINT_PTR GifTimerId = 0;
  std::int32_t GifLoopsLeft = 0;
  // Ticks under way, and a count of starts and stops: an event handler
  // inside a tick may stop or restart the animation, which the tick then
  // leaves alone.
  std::int32_t GifTickDepth = 0;
  std::uint32_t GifGeneration = 0;

  // Input.
  std::int32_t FocusedPart = 0;  // 0 none, 1 surface, 2 HScroll, 3 VScroll, 4 shCorner
  bool CustomPointerActive = false;
  bool HookInstalled = false;
  std::int32_t LastMouseX = 0, LastMouseY = 0;
  std::int32_t MouseImageX = 0, MouseImageY = 0;
  bool Panning = false;
  bool RectEditing = false;
  bool RectDrawing = false;
  bool AnchorOutsideX = false, AnchorOutsideY = false;
  std::int32_t RectHitZone = 0;
  bool PageFlippedThisDrag = false;

  // Selection rectangle cache, image pixels.
  bool RectDrawn = false;
  std::int32_t RectCacheLeft = 0, RectCacheTop = 0, RectCacheWidth = 0, RectCacheHeight = 0;

  // Platform and life cycle.
  float OsVersion = 0;  // kernel major.minor, read at creation
  bool Terminated = false;
  cColor ColorHelper;

  // Downloads.
  std::int32_t HttpBufferSize = 4096;
  bool FtpPassive = true;
  bool DownloadInProgress = false;  // a URL download runs
};

}  // namespace pixavue
