#include <pixavue/control/view_image.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/window/window.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

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

// The PNG is written beside its destination under a name of its own and
// renamed into place once complete, so that a failure leaves no partial
// file under the name asked for.
platform::GpStatus HeadlessControl::SaveView(const std::string& pngPath) {
  if (control_ == nullptr || pngPath.empty()) return InvalidParameter;
  ViewImage view = ComposeView(*control_);
  if (view.width <= 0 || view.height <= 0) return InvalidParameter;
  std::filesystem::path target;
  std::filesystem::path partial;
  std::u16string partialName;
  try {
    target = std::filesystem::path(pngPath);
    partial = target;
    partial += ".partial-" + std::to_string(::getpid());
    partialName = partial.u16string();
  } catch (const std::exception&) {
    return InvalidParameter;  // not a valid UTF-8 name
  }
  std::error_code ignored;
  const GpStatus status = SaveArgbAsPng(view, partialName);
  if (status != Ok) {
    std::filesystem::remove(partial, ignored);
    return status;
  }
  std::error_code error;
  std::filesystem::rename(partial, target, error);
  if (!error) return Ok;
  std::filesystem::remove(partial, ignored);
  return Win32Error;
}

void HeadlessControl::Destroy() { control_.reset(); }

}  // namespace pixavue::headless
