#pragma once
// An ImageBox placed on a headless host's window, with a recording container
// and event sink: the host's side of a control's life. Create it, initialise
// it (InitNew or Load), Show it, Resize it; Destroy (or destruction)
// terminates it as a container does.

#include <pixavue/control/image_box.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/hosts/headless/recording_sink.h>
#include <pixavue/platform/ole/property_bag.h>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include <memory>
#include <string>

namespace pixavue::headless {

class HeadlessControl final {
 public:
  // Creates the control on the host's top-level window and connects the sink.
  explicit HeadlessControl(HeadlessHost& host);
  ~HeadlessControl();
  HeadlessControl(const HeadlessControl&) = delete;
  HeadlessControl& operator=(const HeadlessControl&) = delete;

  // The control; only while it exists (see Destroy).
  ImageBox& Control() { return *control_; }
  ImageBox* operator->() { return control_.get(); }
  bool Exists() const { return control_ != nullptr; }
  RecordingContainer& Container() { return container_; }
  RecordingEventSink& Events() { return events_; }

  void InitNew() { control_->InitProperties(); }
  void Load(platform::PropertyBag& bag) { control_->ReadProperties(bag); }
  void Save(platform::PropertyBag& bag) { control_->WriteProperties(bag); }
  void Show() { control_->Show(); }
  // Sizes the control's window at the top-left corner of the host's window.
  void Resize(int width, int height);
  // Writes what a person would see of the control (ComposeView) as a PNG
  // file with alpha, replacing the file atomically; the imaging library's
  // status (AccessDenied for a folder, device or pipe, which is left as it is).
  platform::GpStatus SaveView(const std::string& pngPath);
  // Destroys the control: termination runs unless it already has.
  void Destroy();

 private:
  RecordingContainer container_;
  RecordingEventSink events_;
  std::unique_ptr<ImageBox> control_;
};

}  // namespace pixavue::headless
