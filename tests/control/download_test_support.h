#pragma once
// Shared pieces of the download tests: a control with a real local server,
// a small image padded to a chosen length, and the status a control's
// byte-array load gives for the same bytes.

#include <cstdint>
#include <vector>

#include "control_test_support.h"
#include "net_test_servers.h"

namespace pixavue::testing {

// A 1 x 1 GIF followed by zeros up to `size` bytes (the decoder stops at
// the GIF's trailer).
inline std::vector<std::uint8_t> PaddedGif(std::size_t size) {
  std::vector<std::uint8_t> bytes = GifBytes({0});
  bytes.resize(size, 0);
  return bytes;
}

class DownloadTest : public ControlTest {
 protected:
  void SetUp() override { UseTestNetworkSettings(1500); }

  // What a control's byte-array load makes of these bytes.
  QuorvexStatus ByteArrayStatus(const std::vector<std::uint8_t>& bytes) {
    auto control = NewControl();
    return static_cast<QuorvexStatus>(control->Control().DisplayFromByteArray(bytes));
  }
};

}  // namespace pixavue::testing
