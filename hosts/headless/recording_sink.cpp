#include <pixavue/hosts/headless/recording_sink.h>

#include <algorithm>

namespace pixavue::headless {

namespace Id = ImageBoxDispid;

std::vector<std::string> RecordingEventSink::Names() const {
  std::vector<std::string> names;
  names.reserve(events_.size());
  for (const RecordedEvent& event : events_) names.push_back(event.name);
  return names;
}

std::size_t RecordingEventSink::Count(DISPID dispid) const {
  return static_cast<std::size_t>(
      std::count_if(events_.begin(), events_.end(), [dispid](const RecordedEvent& e) { return e.dispid == dispid; }));
}

void RecordingEventSink::DataReceived(std::int32_t, std::int32_t, std::int32_t) {
  Record(Id::DataReceived, "DataReceived");
}
void RecordingEventSink::BeforeZoomChange() { Record(Id::BeforeZoomChange, "BeforeZoomChange"); }
void RecordingEventSink::ZoomChange() { Record(Id::ZoomChange, "ZoomChange"); }
void RecordingEventSink::ScrollControl() { Record(Id::ScrollControl, "ScrollControl"); }
void RecordingEventSink::Rotation(platform::RotateFlipType) { Record(Id::Rotation, "Rotation"); }
void RecordingEventSink::PageChange() { Record(Id::PageChange, "PageChange"); }
void RecordingEventSink::FileDrop(const std::string&) { Record(Id::FileDrop, "FileDrop"); }
void RecordingEventSink::FilesDrop(std::vector<std::string>&, std::int32_t) { Record(Id::FilesDrop, "FilesDrop"); }
void RecordingEventSink::PictureChange() { Record(Id::PictureChange, "PictureChange"); }
void RecordingEventSink::PictureChanged() { Record(Id::PictureChanged, "PictureChanged"); }
void RecordingEventSink::Display() { Record(Id::Display, "Display"); }
void RecordingEventSink::KeyPressControl(std::int16_t&) { Record(Id::KeyPressControl, "KeyPressControl"); }
void RecordingEventSink::KeyUpControl(std::int16_t&, std::int16_t&) { Record(Id::KeyUpControl, "KeyUpControl"); }
void RecordingEventSink::KeyDownControl(std::int16_t&, std::int16_t&) {
  Record(Id::KeyDownControl, "KeyDownControl");
}
void RecordingEventSink::MouseMoveControl(std::int16_t&, std::int16_t&, float&, float&) {
  Record(Id::MouseMoveControl, "MouseMoveControl");
}
void RecordingEventSink::ClickControl() { Record(Id::ClickControl, "ClickControl"); }
void RecordingEventSink::DblClickControl() { Record(Id::DblClickControl, "DblClickControl"); }
void RecordingEventSink::MouseDownControl(std::int16_t&, std::int16_t&, float&, float&) {
  Record(Id::MouseDownControl, "MouseDownControl");
}
void RecordingEventSink::MouseUpControl(std::int16_t&, std::int16_t&, float&, float&) {
  Record(Id::MouseUpControl, "MouseUpControl");
}
void RecordingEventSink::MouseWheelControl(std::int16_t) { Record(Id::MouseWheelControl, "MouseWheelControl"); }
void RecordingEventSink::ResizeControl() { Record(Id::ResizeControl, "ResizeControl"); }
void RecordingEventSink::PaintControl() { Record(Id::PaintControl, "PaintControl"); }

}  // namespace pixavue::headless
