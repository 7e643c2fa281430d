#include <pixavue/control/view_image.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/wide_file_name.h>
#include <pixavue/platform/window/window.h>

#include <cstdint>
#include <string>

namespace pixavue::headless {
namespace {

using namespace pixavue::platform;

GpStatus SaveArgbAsPng(ViewImage& view, const std::u16string& path) {
  // The engine's encoder table, built when the control started the engine.
  const CLSID* encoder = engine::EncoderFor("*.png");
  if (encoder == nullptr) return UnknownImageFormat;
  GpBitmap* bitmap = nullptr;
  GpStatus status = GdipCreateBitmapFromScan0(view.width, view.height, view.width * 4, PixelFormat32bppARGB,
                                     reinterpret_cast<BYTE*>(view.pixels.data()), &bitmap);
  if (status != Ok) return status;
  status = GdipSaveImageToFile(bitmap, path.c_str(), encoder, nullptr);
  GdipDisposeImage(bitmap);
  return status;
}

}  // namespace

HeadlessControl::HeadlessControl(HeadlessHost& host)
    : container_(host.TopLevelWindow()), control_(std::make_unique<ImageBox>(container_)) {
  control_->Advise(&events_);
}

HeadlessControl::~HeadlessControl() { Destroy(); }

void HeadlessControl::Resize(int width, int height) { platform::MoveWindow(control_->get_hwnd(), 0, 0, width, height); }

// The imaging layer writes the PNG atomically: a new file beside the
// destination, renamed into place once complete, and only over a regular file.
platform::GpStatus HeadlessControl::SaveView(const std::string& pngPath) {
  if (control_ == nullptr || pngPath.empty()) return InvalidParameter;
  ViewImage view = ComposeView(*control_);
  if (view.width <= 0 || view.height <= 0) return InvalidParameter;
  // Any byte name, UTF-8 or not, travels losslessly to the imaging layer.
  return SaveArgbAsPng(view, WideFromFileName(pngPath));
}

void HeadlessControl::Destroy() { control_.reset(); }

}  // namespace pixavue::headless
