// Placeholder until the tiff decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodeTiff(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
