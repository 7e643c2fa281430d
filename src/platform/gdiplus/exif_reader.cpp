// Placeholder until the EXIF reader lands.
#include "exif.h"

namespace pixavue::platform::gdiplus {

GpStatus ReadExifProperties(std::span<const std::uint8_t>, PropertyStore&) { return NotImplemented; }
GpStatus ReadTiffDirectoryProperties(std::span<const std::uint8_t>, std::uint64_t, PropertyStore&) {
  return NotImplemented;
}

}  // namespace pixavue::platform::gdiplus
