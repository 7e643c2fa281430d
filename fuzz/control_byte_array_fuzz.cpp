// Bytes handed to a control's DisplayFromByteArray: they go to a temporary
// file that is loaded through the engine's file chain. Whatever the bytes,
// closing the image must leave no temporary file behind and no image in the
// engine's table. One host and one control serve every input, as in a
// long-running application.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include <stdlib.h>

#include <pixavue/engine/image_slot.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>

namespace {

using pixavue::headless::HeadlessControl;
using pixavue::headless::HeadlessHost;

struct Harness final {
  std::filesystem::path tempDir;
  HeadlessHost host;
  HeadlessControl control{host};
};

// Made once, never destroyed: the control outlives every input.
Harness* g_harness = nullptr;

// A private temporary folder for the control (TMP is its first choice), so
// that any file left behind is the control's.
std::filesystem::path MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "control_byte_array_fuzz.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  if (setenv("TMP", pattern.c_str(), 1) != 0) std::abort();
  return pattern;
}

void RemoveTempFolder() {
  std::error_code ignored;
  if (g_harness != nullptr) std::filesystem::remove_all(g_harness->tempDir, ignored);
}

bool TempFolderIsEmpty() {
  return std::filesystem::directory_iterator(g_harness->tempDir) == std::filesystem::directory_iterator();
}

bool ImageTableIsEmpty() {
  for (const pixavue::engine::ImageSlot& slot : pixavue::engine::Images().Slots) {
    if (slot.Id != pixavue::engine::kNoImage) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::filesystem::path tempDir = MakeTempFolder();
  g_harness = new Harness;
  g_harness->tempDir = tempDir;
  HeadlessControl& control = g_harness->control;
  control.InitNew();
  control.Show();
  control.Resize(320, 240);
  std::atexit(RemoveTempFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HeadlessControl& control = g_harness->control;
  control->DisplayFromByteArray(std::span<const std::uint8_t>(data, size));
  control->CloseImage();
  // What the host and the sinks recorded would otherwise grow without end.
  g_harness->host.ClearMessageBoxes();
  control.Container().ClearChanges();
  control.Events().Clear();
  if (!TempFolderIsEmpty()) std::abort();
  if (!ImageTableIsEmpty()) std::abort();
  return 0;
}
