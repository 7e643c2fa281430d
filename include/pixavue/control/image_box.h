#pragma once
// ImageBox, the image-viewer control. A container creates it on one of its
// windows, then either initialises its properties (InitProperties) or reads
// them from a property bag (ReadProperties), shows it (Show), moves and
// sizes its window (resize notifications follow), saves it
// (WriteProperties), and finally terminates it (Terminate, or destruction).
//
// Properties follow the COM convention for C++: get_Name() and
// put_Name(value). Every setter of a persisted property tells the container
// the property's bag key. Methods report failures through the returned
// QuorvexStatus, kept in LastStatus (GetStat); nothing is thrown.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <pixavue/control/control_container.h>
#include <pixavue/control/control_surface.h>
#include <pixavue/control/image_box_events.h>
#include <pixavue/control/image_box_state.h>
#include <pixavue/control/viewer_enums.h>
#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/global_memory.h>
#include <pixavue/platform/ole/object_safety.h>
#include <pixavue/platform/ole/picture.h>
#include <pixavue/platform/ole/property_bag.h>
#include <pixavue/platform/ole/stream.h>
#include <pixavue/platform/window/focus_box.h>
#include <pixavue/platform/window/rectangle_shape.h>
#include <pixavue/platform/window/scroll_bar.h>
#include <pixavue/platform/window/timer_element.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue {

namespace net {
class cInet;
}

class ImageBox final : public platform::IObjectSafety {
 public:
  static constexpr double kVersion = 5.9901307;

  // Creation: the surface window on the container's window, the five child
  // elements, and the creation steps (engine start-up among them). A failed
  // step leaves LastStatus at GenericError and shows "Init Error: ...".
  explicit ImageBox(ControlContainer& container);
  // Terminates the control if that has not happened yet.
  ~ImageBox() override;
  ImageBox(const ImageBox&) = delete;
  ImageBox& operator=(const ImageBox&) = delete;

  // Container entry points.
  void InitProperties();
  void ReadProperties(platform::PropertyBag& bag);
  void WriteProperties(platform::PropertyBag& bag);
  void Show();
  // Clears the busy flags, and once per control stops the engine, forgets
  // the current image and removes the wheel hook.
  void Terminate();
  // Connects the event sink (null disconnects). The sink must outlive the
  // connection.
  void Advise(ImageBoxEvents* sink) { sink_ = sink; }

  // Elements and members, read-only, for hosts that present them.
  const ControlSurface& Surface() const { return surface_; }
  const platform::ScrollBar& HScroll() const { return hScroll_; }
  const platform::ScrollBar& VScroll() const { return vScroll_; }
  const platform::FocusBox& shCorner() const { return shCorner_; }
  const platform::TimerElement& TmQual() const { return tmQual_; }
  const platform::RectangleShape& shRect() const { return shRect_; }
  const ImageBoxProperties& Properties() const { return props_; }
  const ImageBoxRuntime& Runtime() const { return state_; }

  // Surface attributes.
  OLE_COLOR get_BackColor() const { return surface_.BackColor(); }
  void put_BackColor(OLE_COLOR color);
  void SetBackGroundColor(OLE_COLOR nRGBColor);  // not reported to the container
  ViewerBackStyleMode get_BackStyle() const { return surface_.BackStyle(); }
  void put_BackStyle(ViewerBackStyleMode style);
  ViewerAppearance get_Appearance() const { return surface_.Appearance(); }
  void put_Appearance(ViewerAppearance appearance);
  ViewerBorderStyle get_BorderStyle() const { return surface_.BorderStyle(); }
  void put_BorderStyle(ViewerBorderStyle style);
  bool get_ClipControls() const { return surface_.ClipControls(); }
  void put_ClipControls(bool clip);
  bool get_Enabled() const { return props_.Enabled; }
  void put_Enabled(bool enabled);
  // The device context over the surface's retained drawing; a new one after
  // each resize.
  platform::HDC get_hdc() { return surface_.Hdc(); }
  platform::HWND get_hwnd() const { return surface_.Window(); }

  // Flags.
  bool get_SilentMode() const { return props_.SilentMode; }
  void put_SilentMode(bool silent);
  bool get_LockControl() const { return props_.LockControl; }
  void put_LockControl(bool lock);
  bool get_ImageForceTemporaryMode() const { return props_.ImageForceTemporaryMode; }
  void put_ImageForceTemporaryMode(bool force);
  bool get_SkipImageResolution() const { return props_.SkipImageResolution; }
  void put_SkipImageResolution(bool skip);
  bool get_ForcePictureMode() const { return props_.ForcePictureMode; }
  void put_ForcePictureMode(bool force);
  bool get_OptimizeDrawingSpeed() const { return props_.OptimizeDrawingSpeed; }
  void put_OptimizeDrawingSpeed(bool optimize);
  bool get_ScrollOptimization() const { return props_.ScrollOptimization; }
  void put_ScrollOptimization(bool optimize);  // true also turns OptimizeDrawingSpeed on
  float get_gamma() const { return props_.Gamma; }
  void put_gamma(float gamma);
  OLE_COLOR get_ImageMaskColor() const { return props_.ImageMaskColor; }
  void put_ImageMaskColor(OLE_COLOR color);
  bool get_ContinuousViewMode() const { return props_.ContinuousViewMode; }
  void put_ContinuousViewMode(bool continuous);
  bool get_DisableAutoFocus() const { return props_.DisableAutoFocus; }
  void put_DisableAutoFocus(bool disable);

  // What AdoptImage read; the setters accept and ignore a value.
  std::int32_t get_ImageWidth() const { return props_.ImageWidth; }
  void put_ImageWidth(std::int32_t) {}
  std::int32_t get_ImageHeight() const { return props_.ImageHeight; }
  void put_ImageHeight(std::int32_t) {}
  float get_HorizontalResolution() const { return props_.HorizontalResolution; }
  void put_HorizontalResolution(float) {}
  float get_VerticalResolution() const { return props_.VerticalResolution; }
  void put_VerticalResolution(float) {}
  std::int32_t get_PageCount() const { return props_.PageCount; }
  void put_PageCount(std::int32_t) {}
  std::int32_t get_CurrentPage() const { return props_.CurrentPage; }
  void put_CurrentPage(std::int32_t) {}
  bool get_VScrollVisible() const { return vScroll_.Visible(); }
  void put_VScrollVisible(bool) {}
  bool get_HScrollVisible() const { return hScroll_.Visible(); }
  void put_HScrollVisible(bool) {}

  QuorvexStatus GetStat() const { return state_.LastStatus; }
  double GetVersion() const { return kVersion; }
  // Presents the visible scroll bars and the surface again from what they
  // retain; draws nothing new.
  void Refresh();
  // Adopts and lays out the current image again; returns LastStatus.
  QuorvexStatus Redraw();
  // Clears the surface (unless LockControl); the image stays loaded.
  void Clear();
  // Release the current image and reset the view; CloseImageEx leaves the
  // surface as it is; ImageClosed only resets, keeping the dimensions, for
  // an image released elsewhere.
  void CloseImage();
  void CloseImageEx();
  void ImageClosed();

  // Zoom, scroll bars and placement.
  double get_ZOOM() const { return props_.Zoom; }
  void put_ZOOM(double zoom);
  ViewerZoomMode get_ZoomMode() const { return props_.ZoomMode; }
  void put_ZoomMode(ViewerZoomMode mode);
  std::int32_t get_ZoomStep() const { return props_.ZoomStep; }
  void put_ZoomStep(std::int32_t step);
  double GetMaxZoom() const { return state_.MaxZoom; }
  // Custom zoom of nZoomPercent (100 = 1:1) when it is positive and within
  // MaxZoom; nothing otherwise.
  QuorvexStatus SetZoom(float nZoomPercent);
  // One ZoomStep in or out, within MaxZoom and above 0.001.
  QuorvexStatus ZoomIN();
  QuorvexStatus ZoomOUT();
  // Switch to a zoom mode and lay out; nothing when it is already the mode.
  QuorvexStatus SetZoom100();
  QuorvexStatus SetZoomFitControl();
  QuorvexStatus SetZoomWidthControl();
  QuorvexStatus SetZoomHeightControl();
  QuorvexStatus SetZoomControl();
  // Zooms so that the area (image pixels) fills the view, scrolled to its
  // top-left corner; InvalidParameter for a width or height below 1.
  QuorvexStatus ZoomArea(std::int32_t nLeft, std::int32_t nTop, std::int32_t nWidth, std::int32_t nHeight);
  bool get_ScrollBars() const { return props_.ScrollBars; }
  void put_ScrollBars(bool show);
  bool get_ForceScrollBars() const { return props_.ForceScrollBars; }
  void put_ForceScrollBars(bool force);
  std::int16_t get_ScrollSmallChange() const { return props_.ScrollSmallChange; }
  void put_ScrollSmallChange(std::int16_t step);
  std::int16_t get_ScrollLargeChange() const { return props_.ScrollLargeChange; }
  void put_ScrollLargeChange(std::int16_t step);
  ViewerImageAlignment get_ImageAlignment() const { return props_.ImageAlignment; }
  void put_ImageAlignment(ViewerImageAlignment alignment);
  ViewerImagePosition get_ImagePosition() const { return props_.ImagePosition; }
  void put_ImagePosition(ViewerImagePosition position);
  bool get_KeepImagePosition() const { return props_.KeepImagePosition; }
  void put_KeepImagePosition(bool keep);
  // Scroll-bar positions in screen pixels. A new position is clamped to
  // 0..Max; the view follows and ScrollControl is raised. The H and V pair
  // draws once.
  std::int16_t GetHScrollBarMaxPosition() const { return hScroll_.Max(); }
  std::int16_t GetVScrollBarMaxPosition() const { return vScroll_.Max(); }
  std::int16_t GetHScrollBarPosition() const { return hScroll_.Value(); }
  std::int16_t GetVScrollBarPosition() const { return vScroll_.Value(); }
  QuorvexStatus SetHScrollBarPosition(std::int32_t nNewHPosition);
  QuorvexStatus SetVScrollBarPosition(std::int32_t nNewVPosition);
  QuorvexStatus SetHVScrollBarPosition(std::int32_t nNewHPosition, std::int32_t nNewVPosition);
  // Client position of the image's left and top edge.
  std::int32_t GetImageLeft() const { return state_.ImageOffsetX; }
  std::int32_t GetImageTop() const { return state_.ImageOffsetY; }

  // Coordinates. Control pixels to image pixels and back, at the current
  // zoom and offsets, unclamped; outputs stay as they were when the zoom
  // (or the pixel aspect) is 0.
  void CoordObjectToImage(std::int32_t nObjectX, std::int32_t nObjectY, std::int32_t& nImageX,
                          std::int32_t& nImageY) const;
  void CoordImageToObject(std::int32_t nImageX, std::int32_t nImageY, std::int32_t& nObjectX,
                          std::int32_t& nObjectY) const;
  // The part of the image the last render showed, in image pixels, and in
  // millimetres (an output whose resolution is unknown stays as it was).
  void GetDisplayedArea(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth, std::int32_t& nHeight) const;
  void GetDisplayedAreaMM(float& nLeft, float& nTop, float& nWidth, float& nHeight) const;
  // The image's size in millimetres; 0 when its resolution is unknown.
  float GetWidthMM() const;
  float GetHeightMM() const;

  // Rendering quality.
  ViewerQuality get_ViewerQuality() const { return props_.ViewerQuality; }
  void put_ViewerQuality(ViewerQuality quality);
  bool get_ViewerQualityAuto() const { return props_.ViewerQualityAuto; }
  void put_ViewerQualityAuto(bool automatic);

  // Mouse, wheel and pointer.
  ViewerMouseMode get_MouseMode() const { return props_.MouseMode; }
  void put_MouseMode(ViewerMouseMode mode);
  MouseButton get_MouseButtonForMouseMode();
  void put_MouseButtonForMouseMode(MouseButton button);
  MousePointers get_MousePointer() const { return props_.MousePointer; }
  void put_MousePointer(MousePointers pointer);
  bool get_EnableMouseWheel() const { return props_.EnableMouseWheel; }
  void put_EnableMouseWheel(bool enable);
  ViewerMouseWheelMode get_MouseWheelMode() const { return props_.MouseWheelMode; }
  void put_MouseWheelMode(ViewerMouseWheelMode mode);

  // Selection rectangle.
  OLE_COLOR get_RectBorderColor() const { return shRect_.BorderColor(); }
  void put_RectBorderColor(OLE_COLOR color);
  std::int16_t get_RectBorderSize() const { return shRect_.BorderWidth(); }
  void put_RectBorderSize(std::int16_t size);
  ViewerRectBorderStyle get_RectBorderStyle() const { return props_.RectBorderStyle; }
  void put_RectBorderStyle(ViewerRectBorderStyle style);
  ViewerRectDrawMode get_RectDrawMode() const { return props_.RectDrawMode; }
  void put_RectDrawMode(ViewerRectDrawMode mode);
  bool get_RectIsEditable() const { return props_.RectIsEditable; }
  void put_RectIsEditable(bool editable);
  bool isRectDrawed() const;
  void ClearRect();
  // The rectangle in image pixels: right and bottom cut at the image's
  // size; zeros when neither side is longer than 1.
  void GetRectValues(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth, std::int32_t& nHeight) const;
  std::int32_t GetRectX() const;
  std::int32_t GetRectY() const;
  std::int32_t GetRectWidth() const;
  std::int32_t GetRectHeight() const;
  // In surface pixels, rounded; zeros as above.
  void GetRectValuesObject(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth,
                           std::int32_t& nHeight) const;
  // In millimetres; left and top are 0, and width and height stay as
  // passed, where the resolution is unknown.
  void GetRectValuesMM(float& nLeft, float& nTop, float& nWidth, float& nHeight) const;
  // The setters take any values; the surface-pixel one moves the rectangle
  // only with a positive width and height.
  void SetRectValues(std::int32_t nLeft, std::int32_t nTop, std::int32_t nWidth, std::int32_t nHeight);
  void SetRectValuesObject(std::int32_t nLeft, std::int32_t nTop, std::int32_t nWidth, std::int32_t nHeight);
  void SetRectValuesMM(float nLeft, float nTop, float nWidth, float nHeight);
  // Zooms so that the drawn rectangle fills the view, then centres it;
  // nothing without one. Returns LastStatus.
  QuorvexStatus ZoomRect();
  // Scrolls the drawn rectangle to the middle of the view, as far as the
  // scroll ranges allow.
  void CenterOnRect();
  // Within 4 pixels of the drawn rectangle (surface pixels).
  bool IsNearRect(float x, float y) const;
  // Pointer steps of the selection rectangle, in surface pixels, for the
  // mouse handlers. A press with the mode button in area-selection or
  // auto-zoom mode edits the drawn rectangle when it is near and editable,
  // else starts a new one; a move while drawing stretches it to the
  // pointer, cut at the displayed image; every move in area-selection mode
  // shows the pointer of the part under it, or moves and resizes the
  // rectangle being edited; a button up ends drawing and editing.
  void PressRect(float x, float y);
  void StretchRect(float x, float y);
  void HoverRect(float x, float y);
  void EndRectDrag();

  // Frames and pages (1-based). DisplayFrame resets LastStatus, shows page
  // nFrame when it exists and raises PageChange whenever a page was shown
  // before; the shortcuts do nothing (returning LastStatus) at the ends.
  QuorvexStatus DisplayFrame(std::int32_t nFrame);
  QuorvexStatus DisplayNextFrame();
  QuorvexStatus DisplayPreviousFrame();
  QuorvexStatus DisplayFirstFrame();
  QuorvexStatus DisplayLastFrame();
  std::int32_t GetTotalFrame() const { return props_.PageCount; }

  // Animation of a GIF of several frames, each shown for its own delay on
  // the thread's timers, from frame 1, until stopped.
  bool get_AnimateGIF() const { return props_.AnimateGIF; }
  void put_AnimateGIF(bool animate);
  QuorvexStatus PlayGif();
  void StopGif();

  // Dropped files: while true the surface accepts drops, and a drop of
  // files raises FileDrop with the first existing normal file, then
  // FilesDrop with all of them.
  bool get_ViewerDrop() const { return props_.ViewerDrop; }
  void put_ViewerDrop(bool accept);

  // Turning and mirroring the image shown (the displayed frame only, for a
  // document whose pages stay in one decoder); raise Rotation and return
  // LastStatus.
  QuorvexStatus Rotate90() { return RotateView(platform::Rotate90FlipNone); }
  QuorvexStatus Rotate180() { return RotateView(platform::Rotate180FlipNone); }
  QuorvexStatus Rotate270() { return RotateView(platform::Rotate270FlipNone); }
  QuorvexStatus FlipX() { return RotateView(platform::RotateNoneFlipX); }
  QuorvexStatus FlipX90() { return RotateView(platform::Rotate90FlipX); }
  QuorvexStatus FlipX180() { return RotateView(platform::Rotate180FlipX); }
  QuorvexStatus FlipX270() { return RotateView(platform::Rotate270FlipX); }
  // A new GDI bitmap of the current image, owned by the caller (free it with
  // DeleteHBitmap); 0 on failure. LastStatus = the status.
  platform::OLE_HANDLE GetHBitmap();
  void DeleteHBitmap(platform::OLE_HANDLE nHbitmap);
  // The clipboard gets a bitmap of the image shown (the display copy when
  // there is one), or of an area of it in image pixels. Copy2Clipboard
  // reports nothing; CopyRegion2Clipboard leaves its status in LastStatus.
  void Copy2Clipboard();
  void CopyRegion2Clipboard(std::int32_t nSrcLeft, std::int32_t nSrcTop, std::int32_t nWidth, std::int32_t nHeight);

  // IObjectSafety: safe for scripting (IDispatch) and for initialisation
  // (the persistence interfaces).
  platform::HRESULT GetInterfaceSafetyOptions(const platform::GUID* riid, std::uint32_t* pdwSupportedOptions,
                                              std::uint32_t* pdwEnabledOptions) override;
  platform::HRESULT SetInterfaceSafetyOptions(const platform::GUID* riid, std::uint32_t dwOptionSetMask,
                                              std::uint32_t dwEnabledOptions) override;

  // Loading. Each loader forgets the image shown before (it is not
  // released, see CloseImage), loads, and on success adopts and lays out
  // the new image at page 1; the status is also kept in LastStatus.
  // An empty path asks the user for a file ("Open File").
  QuorvexStatus DisplayFromFile(std::string_view sFilePath);
  QuorvexStatus DisplayFromFileICM(std::string_view sFilePath);  // colour-managed decoding first
  QuorvexStatus DisplayFromStream(platform::IStream* oStream);
  QuorvexStatus DisplayFromStreamICM(platform::IStream* oStream);
  // Through a temporary file, deleted when the image is closed.
  std::int32_t DisplayFromByteArray(std::span<const std::uint8_t> arBytes);
  std::int32_t DisplayFromByteArrayICM(std::span<const std::uint8_t> arBytes);
  // Each UTF-16 unit becomes one byte (code page 1252); the bytes are an
  // image file. Empty: GenericError; one byte: ProfileNotFound (21).
  std::int32_t DisplayFromString(std::u16string_view sImageString);
  QuorvexStatus DisplayFromMetaFile(std::string_view sFilePath, float nScaleBy = 1.0f);
  QuorvexStatus DisplayFromStdPicture(platform::IPicture* oStdPicture);
  // Handles stay the caller's. A bitmap handle that is not a bitmap is tried
  // as an icon.
  QuorvexStatus DisplayFromHBitmap(platform::OLE_HANDLE nHbitmap);
  QuorvexStatus DisplayFromHICON(platform::OLE_HANDLE nHICON);
  QuorvexStatus DisplayFromClipboardData();
  // A packed DIB in a global memory block, which the caller keeps alive
  // while the image is shown.
  QuorvexStatus DisplayFromGdiDib(platform::HGLOBAL nGdiDibRef);

  // Downloads. DisplayFromURL shows the body of an HTTP/1.0 GET (a
  // "http://" or "https://" prefix of the host is dropped; port 443 alone
  // makes it HTTPS), raising DataReceived after each chunk; it returns
  // LastStatus at once while a download runs. A Content-Length above
  // kLargestDownload gives InternetHttpInvalidFileLength. DisplayFromFTP
  // copies the remote file to a temporary file deleted with the image.
  static constexpr std::int32_t kLargestDownload = 1 << 30;
  QuorvexStatus DisplayFromURL(std::string_view sHost, std::string_view sPath, std::int32_t nHTTPPort = 80);
  QuorvexStatus DisplayFromFTP(std::string_view sHost, std::string_view sPath, std::string_view sLogin = {},
                               std::string_view sPassword = {}, std::int32_t nFTPPort = 21);
  // Ends a running URL download after its current chunk.
  void DisplayFromURLStop();
  // Bytes per read of later URL downloads; 0 or less reads nothing.
  void SetHttpTransfertBufferSize(std::int32_t nBuffersize) { state_.HttpBufferSize = nBuffersize; }
  void SetFtpPassiveMode(bool bPassiveMode) { state_.FtpPassive = bPassiveMode; }

  // An image already held by the engine, shown without loading (it stays
  // its giver's); 0 gives InvalidParameter.
  QuorvexStatus SetNativeImage(engine::ImageId nImageID);
  QuorvexStatus DisplayFromQuorvexImage(engine::ImageId nImageID) { return SetNativeImage(nImageID); }
  engine::ImageId GetNativeImage() const { return state_.EngineState.CurrentImage; }
  // The format name of the image shown ("JPEG", "TIFF" ...), "" for none.
  std::string GetImageFormat() const;

 private:
  // Creation and surface notifications.
  void Initialize();
  bool HandleSurfaceMessage(platform::UINT message);
  void OnResize();
  void OnPaint();

  // The image cycle.
  void ResetForNewImage(bool keepDimensions);
  void AdoptImage(engine::ImageId bypassImage);
  void ReadPageCount(engine::ImageId image);
  void ReadFrameDelays(engine::ImageId image);
  void QueryImageGeometry(engine::ImageId image);
  void ComputePixelAspect();
  void CloseCurrentImage();
  void DeleteTempFile();
  void ReleaseDisplayCopy();
  // The end of every loader: LastStatus = status and, on success, page 1,
  // adoption and layout.
  QuorvexStatus FinishLoad(QuorvexStatus status);
  QuorvexStatus LoadFile(std::string_view path, bool colorManaged);
  std::int32_t LoadBytes(std::span<const std::uint8_t> bytes, bool colorManaged);
  bool ImageShown() const { return state_.EngineState.CurrentImage != engine::kNoImage; }
  QuorvexStatus DownloadBody(net::cInet& inet, std::string_view host, std::string_view path, std::int32_t port);
  QuorvexStatus CopyFromFtp(net::cInet& inet, std::string_view host, std::string_view path, std::string_view login,
                            std::string_view password, std::int32_t port);
  // The running session's PacketReceieved (the share still to come) raised
  // again as DataReceived with the share received.
  void m_inet_PacketReceieved(std::int32_t nPercentProgress, std::int32_t nLeftToTransfer,
                              std::int32_t nTotalLength);

  // Viewport.
  void UpdateLayout(engine::ImageId image = engine::kNoImage);
  void ComputeMaxZoom();
  void UpdateScrollRanges();
  void ArrangeScrollBars();
  // The parts of a layout that has an image and a view: zoom, displayed
  // size, scroll values and offsets, then the render.
  void LayOutImage(engine::ImageId image, int viewWidth, int viewHeight);
  double ChooseZoom(int viewWidth, int viewHeight, bool& zoomsToArea);
  void ScrollToArea();
  QuorvexStatus SwitchZoomMode(ViewerZoomMode mode);
  // Width of the vertical bar and height of the horizontal one.
  int VerticalBarWidth() const { return vScroll_.Width(); }
  int HorizontalBarHeight() const { return hScroll_.Height(); }
  // Scroll-bar notifications: a change of either bar moves the view; a key
  // on a bar is undone.
  void ConnectScrollBars();
  void OnScrollBarChange(platform::ScrollBar& bar);
  void OnScrollBarKey();
  QuorvexStatus ScrollBarTo(platform::ScrollBar& bar, std::int32_t position);

  // Rendering.
  enum class RenderPass { Ordinary, Timer };
  // Draws the visible part of the image (0: DisplayCopy, else CurrentImage).
  void RenderView(engine::ImageId image = engine::kNoImage, RenderPass pass = RenderPass::Ordinary);
  platform::InterpolationMode ChooseInterpolation();
  QuorvexStatus MakeDisplayCopy();
  void OnQualityTimer();
  // Parts of a render: the shown image and PictureChange (true when it
  // changed), the draw itself, and what follows a draw.
  bool NoteShownImage();
  void DrawView(engine::ImageId image, RenderPass pass);
  void FinishDraw();
  void HandFocusToCorner();

  // Focus tracking: FocusedPart names the part that holds the keyboard
  // focus (0 none).
  static constexpr std::int32_t kFocusSurface = 1;
  static constexpr std::int32_t kFocusHScroll = 2;
  static constexpr std::int32_t kFocusVScroll = 3;
  static constexpr std::int32_t kFocusCorner = 4;
  void ConnectFocusTracking();
  void TrackFocus(std::int32_t part, bool gotFocus);

  // Selection rectangle: moves shRect over an area given in image pixels;
  // keeps its extent in image pixels after each change; the press that
  // starts a new one; the move or resize of an edited one.
  void PlaceRectFromImage(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  void SyncRectCache();
  void StartRect();
  void DragRect(float x, float y);

  // Input.
  void ApplyModeCursor();
  void InstallWheelHook();
  void RemoveWheelHook();

  // Transforms, clipboard and drop.
  QuorvexStatus RotateView(platform::RotateFlipType type);
  engine::ImageId ClipboardSource() const;
  void OnFilesDropped(const platform::DataObject& data);

  // Pages and animation.
  void ClearSurfaceToBackground();
  void GifTick();
  void StartGifTimer(std::int32_t delayMs);
  void StopGifTimer();
  void HaltAnimation();
  static void GifTimerProc(platform::HWND window, platform::UINT message, platform::UINT_PTR id,
                           platform::DWORD time);
  platform::UINT_PTR GifTimerKey() const { return reinterpret_cast<platform::UINT_PTR>(this); }

  // Reports a persisted property's change to the container under its key.
  void ReportChange(std::string_view key) { container_.PropertyChanged(key); }
  // A message box, unless SilentMode.
  void ShowMessage(std::string_view text, int buttonsAndIcon);
  // The connected sink, or one that ignores every event.
  ImageBoxEvents& Events();

  ControlContainer& container_;
  ImageBoxEvents* sink_ = nullptr;
  ImageBoxProperties props_;
  ImageBoxRuntime state_;
  bool elementsReady_ = false;  // surface notifications are handled once every element exists
  net::cInet* m_inet = nullptr;  // the session of the download running, during the call only

  ControlSurface surface_;
  platform::ScrollBar hScroll_;
  platform::ScrollBar vScroll_;
  platform::FocusBox shCorner_;
  platform::TimerElement tmQual_;
  platform::RectangleShape shRect_;
};

}  // namespace pixavue
