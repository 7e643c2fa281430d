// Placeholder until the icon decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodeIcon(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
