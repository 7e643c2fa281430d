#include "render_command.h"

#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/support/quorvex_status.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "image_source.h"
#include "output_file.h"
#include "render_options.h"

namespace pixavue::app {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

int Failure(std::string_view what, std::int32_t status, std::ostream& err) {
  err << "pixavue render: " << what << " failed, status: " << status << ' '
      << QuorvexStatusName(status).value_or("(not a status)") << '\n';
  return kFailed;
}

int UsageError(std::string_view reason, std::ostream& err) {
  err << "pixavue render: " << reason << '\n' << kRenderUsage;
  return kUsageError;
}

// Options that hold before the image arrives: its load lays it out with them.
void ApplyViewOptions(ImageBox& control, const RenderOptions& options) {
  if (options.zoomMode) control.put_ZoomMode(static_cast<ViewerZoomMode>(*options.zoomMode));
  if (options.quality) control.put_ViewerQuality(static_cast<ViewerQuality>(*options.quality));
  if (options.position) control.put_ImagePosition(static_cast<ViewerImagePosition>(*options.position));
  if (options.alignment) control.put_ImageAlignment(static_cast<ViewerImageAlignment>(*options.alignment));
  if (options.gamma) control.put_gamma(*options.gamma);
}

// A custom zoom is limited by the image's size, so it follows the load.
bool ApplyZoom(ImageBox& control, const RenderOptions& options) {
  if (!options.zoomPercent) return true;
  control.SetZoom(*options.zoomPercent);
  return control.get_ZoomMode() == ZoomCustom && control.get_ZOOM() == *options.zoomPercent / 100.0;
}

// An animation starts with its load; the clock then runs the time asked
// for. The selection follows, since every frame shown clears it.
void ApplyAnimationAndSelection(headless::HeadlessHost& host, ImageBox& control, const RenderOptions& options) {
  if (options.atMs) host.Advance(*options.atMs);
  if (const auto& s = options.selection) control.SetRectValues((*s)[0], (*s)[1], (*s)[2], (*s)[3]);
}

// Turns the image shown through the control's member for the type; type 0
// leaves it as it is.
QuorvexStatus Turn(ImageBox& control, int type) {
  using Member = QuorvexStatus (ImageBox::*)();
  static constexpr Member kMembers[] = {&ImageBox::Rotate90, &ImageBox::Rotate180, &ImageBox::Rotate270,
                                        &ImageBox::FlipX,    &ImageBox::FlipX90,   &ImageBox::FlipX180,
                                        &ImageBox::FlipX270};
  if (type < 1 || type > 7) return QuorvexStatus::OK;
  return (control.*kMembers[type - 1])();
}

std::error_code CreateFolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  return error;
}

}  // namespace

int RunRender(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  std::string reason;
  const auto options = ParseRenderOptions(args, reason);
  if (!options) return UsageError(reason, err);
  if (const auto refusal = OutputFileRefusal(options->output)) {
    err << "pixavue render: cannot write " << options->output << ": " << *refusal << '\n';
    return kFailed;
  }

  headless::HeadlessHost host;
  headless::HeadlessControl control(host);
  control.InitNew();
  control.Show();
  control.Resize(options->width, options->height);
  ApplyViewOptions(control.Control(), *options);
  if (options->atMs) control->put_AnimateGIF(true);

  QuorvexStatus status = DisplaySource(control, options->input, err);
  if (status != QuorvexStatus::OK) return Failure("loading " + options->input, ToInt(status), err);
  if (!ApplyZoom(control.Control(), *options)) {
    return UsageError("zoom " + std::to_string(*options->zoomPercent) + "% is out of this image's range", err);
  }
  if (options->page != 1) {
    if (options->page > control->get_PageCount()) {
      return UsageError(
          "page " + std::to_string(options->page) + " is outside 1.." + std::to_string(control->get_PageCount()), err);
    }
    status = control->DisplayFrame(options->page);
    if (status != QuorvexStatus::OK)
      return Failure("showing page " + std::to_string(options->page), ToInt(status), err);
  }
  // A turn clears the selection, and an animation's next frame shows unturned.
  status = Turn(control.Control(), options->rotate);
  if (status != QuorvexStatus::OK) {
    return Failure("turning by type " + std::to_string(options->rotate), ToInt(status), err);
  }
  ApplyAnimationAndSelection(host, control.Control(), *options);
  if (control->GetStat() != QuorvexStatus::OK) return Failure("drawing", ToInt(control->GetStat()), err);

  if (const std::error_code error = CreateFolderOf(options->output)) {
    err << "pixavue render: cannot create the folder of " << options->output << ": " << error.message() << '\n';
    return kFailed;
  }
  const platform::GpStatus saved = control.SaveView(options->output);
  if (saved != platform::Ok) return Failure("saving " + options->output, saved, err);
  out << "wrote " << options->output << " (" << options->width << " x " << options->height << ")\n";
  return kDone;
}

}  // namespace pixavue::app
