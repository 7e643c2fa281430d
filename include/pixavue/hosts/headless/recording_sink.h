#pragma once
// A control container and an event sink that record what a control tells
// them, in order, for tests and batch runs.

#include <pixavue/control/control_container.h>
#include <pixavue/control/image_box_events.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pixavue::headless {

// Gives the control its window and records the keys of the properties the
// control reports as changed.
class RecordingContainer final : public ControlContainer {
 public:
  explicit RecordingContainer(platform::HWND window) : window_(window) {}

  platform::HWND ContainerWindow() override { return window_; }
  void PropertyChanged(std::string_view name) override { changes_.emplace_back(name); }

  const std::vector<std::string>& Changes() const { return changes_; }
  void ClearChanges() { changes_.clear(); }

 private:
  platform::HWND window_;
  std::vector<std::string> changes_;
};

struct RecordedEvent {
  DISPID dispid = 0;
  std::string name;
};

// Records every event by DISPID and name; leaves by-reference parameters as
// the control passed them.
class RecordingEventSink final : public ImageBoxEvents {
 public:
  const std::vector<RecordedEvent>& Events() const { return events_; }
  std::vector<std::string> Names() const;
  std::size_t Count(DISPID dispid) const;
  void Clear() { events_.clear(); }

  void DataReceived(std::int32_t, std::int32_t, std::int32_t) override;
  void BeforeZoomChange() override;
  void ZoomChange() override;
  void ScrollControl() override;
  void Rotation(platform::RotateFlipType) override;
  void PageChange() override;
  void FileDrop(const std::string&) override;
  void FilesDrop(std::vector<std::string>&, std::int32_t) override;
  void PictureChange() override;
  void PictureChanged() override;
  void Display() override;
  void KeyPressControl(std::int16_t&) override;
  void KeyUpControl(std::int16_t&, std::int16_t&) override;
  void KeyDownControl(std::int16_t&, std::int16_t&) override;
  void MouseMoveControl(std::int16_t&, std::int16_t&, float&, float&) override;
  void ClickControl() override;
  void DblClickControl() override;
  void MouseDownControl(std::int16_t&, std::int16_t&, float&, float&) override;
  void MouseUpControl(std::int16_t&, std::int16_t&, float&, float&) override;
  void MouseWheelControl(std::int16_t) override;
  void ResizeControl() override;
  void PaintControl() override;

 private:
  void Record(DISPID dispid, std::string_view name) { events_.push_back({dispid, std::string(name)}); }

  std::vector<RecordedEvent> events_;
};

}  // namespace pixavue::headless
