// Bytes handed to a control as a stream: multi-frame GIF and TIFF images
// become documents whose frames are saved to page files. Whatever the
// bytes, closing the image must delete every page file and leave no image
// in the engine's table.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/memory_stream.h>

#include "control_fuzz_harness.h"

namespace {

// Pages selected of each document: enough to load page files back, few
// enough to keep every input quick.
constexpr std::int32_t kPagesVisited = 4;

// Selects the first pages of a document, which loads their page files back.
void SelectFirstPages(pixavue::engine::ImageId document) {
  using namespace pixavue::engine;
  const ImageSlot* slot = SlotOf(document);
  if (slot == nullptr || !slot->IsDocument()) return;
  const DocumentKind kind = slot->IsMultiPageTiff ? DocumentKind::Tiff : DocumentKind::Gif;
  const std::int32_t pages = std::min(slot->PageCount, kPagesVisited);
  for (std::int32_t page = pages - 1; page >= 0; --page) SelectPage(document, page, kind);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pixavue::fuzz::ControlHarness::Start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pixavue::platform;
  pixavue::fuzz::ControlHarness& harness = pixavue::fuzz::ControlHarness::Start();
  ComPtr<IStream> stream;
  if (CreateMemoryStream(std::vector<std::uint8_t>(data, data + size), stream.ReleaseAndGetAddressOf()) != S_OK) {
    return 0;
  }
  if (harness.Control().DisplayFromStream(stream.Get()) == pixavue::QuorvexStatus::OK) {
    SelectFirstPages(harness.Control().GetNativeImage());
  }
  harness.Control().CloseImage();
  harness.CheckNothingLeft();
  return 0;
}
