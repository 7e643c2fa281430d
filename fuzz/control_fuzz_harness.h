#pragma once
// Shared by the fuzz targets that feed a control: one headless host and one
// control for the whole run, as in a long-running application, with a
// private temporary folder (TMP is the control's first choice) so that any
// file left behind is the control's.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

#include <pixavue/engine/image_slot.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>

namespace pixavue::fuzz {

class ControlHarness final {
 public:
  // Made once, never destroyed: the control outlives every input.
  static ControlHarness& Start() {
    static ControlHarness* harness = new ControlHarness(MakeTempFolder());
    return *harness;
  }

  ImageBox& Control() { return control_.Control(); }
  headless::HeadlessControl& Hosted() { return control_; }
  headless::HeadlessHost& Host() { return host_; }

  // After an input whose image was closed: what the host and the sinks
  // recorded is dropped (it would grow without end), and the run stops when
  // a temporary file or a registered image is left.
  void CheckNothingLeft() {
    host_.ClearMessageBoxes();
    control_.Container().ClearChanges();
    control_.Events().Clear();
    if (std::filesystem::directory_iterator(tempDir_) != std::filesystem::directory_iterator()) std::abort();
    for (const engine::ImageSlot& slot : engine::Images().Slots) {
      if (slot.Id != engine::kNoImage) std::abort();
    }
  }

 private:
  explicit ControlHarness(std::filesystem::path tempDir) : tempDir_(std::move(tempDir)) {
    control_.InitNew();
    control_.Show();
    control_.Resize(320, 240);
    static std::filesystem::path folder = tempDir_;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    });
  }

  static std::filesystem::path MakeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pixavue_control_fuzz.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    if (setenv("TMP", pattern.c_str(), 1) != 0) std::abort();
    return pattern;
  }

  std::filesystem::path tempDir_;
  headless::HeadlessHost host_;
  headless::HeadlessControl control_{host_};
};

}  // namespace pixavue::fuzz
