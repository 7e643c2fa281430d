// Placeholder until the png decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodePng(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
