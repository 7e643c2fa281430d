// Placeholder until the bmp decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodeBmp(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
