// libFuzzer target for the EXIF / TIFF directory reader and the EXIF
// writer. The input is read as an EXIF block and as a TIFF file (its first
// directory and one at an offset taken from the input); what is read is
// written back in both byte orders and read again. Besides crashes, leaks
// and undefined behaviour it checks that:
// - the writer's output reads back (Ok) to the items written, ids, types
//   and bytes alike, and writing that again gives the same block;
// - every item read back was in the store written, with the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "exif.h"

namespace {

using namespace pixavue::platform;
using namespace pixavue::platform::gdiplus;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsPointer(PROPID id) {
  return id == PropertyTagExifIFD || id == PropertyTagGpsIFD || id == PropertyTagExifInterop;
}

void CheckRoundTrip(const PropertyStore& store, ByteOrder order) {
  const std::vector<std::uint8_t> block = WriteExifBlock(store, order);
  if (block.empty()) return;
  PropertyStore back;
  Check(ReadExifProperties(block, back) == Ok);
  for (const StoredProperty& item : back.items()) {
    if (IsPointer(item.id)) continue;
    const StoredProperty* written = store.Find(item.id);
    Check(written != nullptr);
    Check(written->value == item.value);
    Check(written->type == item.type || item.type == PropertyTagTypeUndefined);
  }
  Check(WriteExifBlock(back, order) == block);
}

void ReadAndWriteBack(std::span<const std::uint8_t> input, bool asTiff, std::uint64_t offset) {
  PropertyStore store;
  const GpStatus status = asTiff ? ReadTiffDirectoryProperties(input, offset, store) : ReadExifProperties(input, store);
  Check(status == Ok || status == InvalidParameter);
  if (status != Ok) Check(store.size() == 0);
  std::size_t kept = 0;
  for (const StoredProperty& item : store.items()) kept += item.value.size();
  Check(kept <= 2 * input.size());
  CheckRoundTrip(store, ByteOrder::Little);
  CheckRoundTrip(store, ByteOrder::Big);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  ReadAndWriteBack(input, false, 0);
  if (size >= 8) {
    // The first directory of a classic TIFF header, in either byte order.
    std::uint32_t first = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      const std::size_t at = data[0] == 'I' ? 7 - i : 4 + i;
      first = first << 8 | data[at];
    }
    ReadAndWriteBack(input, true, first);
    ReadAndWriteBack(input, true, data[size - 1] * 2u);
  }
  return 0;
}
