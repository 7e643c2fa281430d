// Bytes handed to a control's DisplayFromByteArray: they go to a temporary
// file that is loaded through the engine's file chain. Whatever the bytes,
// closing the image must leave no temporary file behind and no image in the
// engine's table.

#include <cstddef>
#include <cstdint>
#include <span>

#include "control_fuzz_harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pixavue::fuzz::ControlHarness::Start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pixavue::fuzz::ControlHarness& harness = pixavue::fuzz::ControlHarness::Start();
  harness.Control().DisplayFromByteArray(std::span<const std::uint8_t>(data, size));
  harness.Control().CloseImage();
  harness.CheckNothingLeft();
  return 0;
}
