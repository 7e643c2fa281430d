// Placeholder until the gif decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodeGif(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
