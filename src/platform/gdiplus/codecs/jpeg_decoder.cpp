// Placeholder until the jpeg decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodeJpeg(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
