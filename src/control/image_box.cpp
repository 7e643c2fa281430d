// The control object: its surface and child elements, the routing of surface
// notifications, and the channels to the container, the event sink and the
// message boxes.

#include <pixavue/control/image_box.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/window/messages.h>

namespace pixavue {

using platform::ScrollBarOrientation;

namespace {

constexpr std::int32_t kQualityTimerIntervalMs = 1000;

// Receives the events of a control that has no sink.
class IgnoredEvents final : public ImageBoxEvents {};

}  // namespace

ImageBox::ImageBox(ControlContainer& container)
    : container_(container),
      surface_(container.ContainerWindow(),
               [this](platform::UINT message, platform::WPARAM, platform::LPARAM) {
                 return HandleSurfaceMessage(message);
               }),
      hScroll_(surface_.Window(), ScrollBarOrientation::Horizontal),
      vScroll_(surface_.Window(), ScrollBarOrientation::Vertical),
      shCorner_(surface_.Window()),
      tmQual_(surface_.Window()) {
  tmQual_.SetInterval(kQualityTimerIntervalMs);  // stays disabled until a render or ViewerQualityAuto
  // The bars start with the steps of a new control.
  for (platform::ScrollBar* bar : {&hScroll_, &vScroll_}) {
    bar->SetSmallChange(props_.ScrollSmallChange);
    bar->SetLargeChange(props_.ScrollLargeChange);
  }
  ConnectScrollBars();
  ConnectFocusTracking();
  tmQual_.onTick = [this] { OnQualityTimer(); };
  shRect_.SetVisible(true);  // the host draws it once it is more than a pixel across
  surface_.SetDropHandler([this](const platform::DataObject& data, std::int32_t&, const platform::DropPoint&) {
    OnFilesDropped(data);
  });
  elementsReady_ = true;
  Initialize();
}

ImageBox::~ImageBox() { Terminate(); }

bool ImageBox::HandleSurfaceMessage(platform::UINT message) {
  if (!elementsReady_) return false;
  switch (message) {
    case platform::WM_SIZE:
      OnResize();
      return true;
    case platform::WM_PAINT:
      OnPaint();
      return true;
    case platform::WM_SETFOCUS:
    case platform::WM_KILLFOCUS:
      TrackFocus(kFocusSurface, message == platform::WM_SETFOCUS);
      return true;
    default:
      return false;
  }
}

ImageBoxEvents& ImageBox::Events() {
  static IgnoredEvents ignored;
  return sink_ != nullptr ? *sink_ : ignored;
}

void ImageBox::ShowMessage(std::string_view text, int buttonsAndIcon) {
  if (props_.SilentMode) return;
  platform::MsgBox(text, buttonsAndIcon, {}, surface_.Window());
}

}  // namespace pixavue
