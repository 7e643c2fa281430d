// Placeholder until the EXIF writer lands.
#include "exif.h"

namespace pixavue::platform::gdiplus {

std::vector<std::uint8_t> WriteExifBlock(const PropertyStore&, ByteOrder) { return {}; }

}  // namespace pixavue::platform::gdiplus
