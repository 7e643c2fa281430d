#pragma once
// Shared pieces of the control tests: a headless host per test, controls
// placed on it, and small GIF files.

#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/engine/image_slot.h>
#include <pixavue/hosts/headless/headless_host.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "gif_test_files.h"

namespace pixavue::testing {

class ControlTest : public ::testing::Test {
 protected:
  // A new control, initialised as new and shown.
  std::unique_ptr<headless::HeadlessControl> NewControl() {
    auto control = std::make_unique<headless::HeadlessControl>(host_);
    control->InitNew();
    control->Show();
    return control;
  }

  headless::HeadlessHost host_;
};

// Images in the thread's image table.
inline std::size_t LiveImages() {
  std::size_t live = 0;
  for (const engine::ImageSlot& slot : engine::Images().Slots) live += slot.Id != engine::kNoImage ? 1 : 0;
  return live;
}

// A GIF89a of 1 x 1 pixel frames, one per delay (hundredths of a second),
// each with a graphic control extension.
inline std::vector<std::uint8_t> GifBytes(const std::vector<std::uint16_t>& delays) {
  platform::test::GifBuilder gif(1, 1, {0xFF000000u, 0xFFFFFFFFu});  // a two-colour table
  for (const std::uint16_t delay : delays) gif.Control(1, delay).Image(0, 0, 1, 1, {0});  // do not dispose
  return gif.Bytes();
}

// A file in a folder of its own, removed with the object.
class TempFile final {
 public:
  TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
      : folder_(std::filesystem::temp_directory_path() /
                ("pixavue_control_" + std::to_string(::getpid()) + "_" + name)) {
    std::filesystem::create_directories(folder_);
    std::ofstream(path(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  std::filesystem::path path() const { return folder_ / "image.gif"; }
  std::u16string widePath() const {
    const std::string text = path().string();
    return std::u16string(text.begin(), text.end());  // temporary paths are ASCII
  }

 private:
  std::filesystem::path folder_;
};

}  // namespace pixavue::testing
