#pragma once
// Shared pieces of the control tests: a headless host per test, controls
// placed on it, and small GIF files written byte by byte.

#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

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

// A GIF89a of 1 x 1 pixel frames, one per delay (hundredths of a second),
// each with a graphic control extension.
inline std::vector<std::uint8_t> GifBytes(const std::vector<std::uint16_t>& delays) {
  std::vector<std::uint8_t> bytes = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                                     0,   0,   0,   0xFF, 0xFF, 0xFF};  // screen, two-colour table
  for (std::uint16_t delay : delays) {
    const std::uint8_t low = static_cast<std::uint8_t>(delay & 0xFF);
    const std::uint8_t high = static_cast<std::uint8_t>(delay >> 8);
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, 0x04, low, high, 0, 0});  // do not dispose
    bytes.insert(bytes.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});       // frame at (0, 0), 1 x 1
    bytes.insert(bytes.end(), {2, 2, 0x44, 0x01, 0});                   // LZW: clear, 0, end
  }
  bytes.push_back(0x3B);
  return bytes;
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
