// Placeholder until the metafile decoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus DecodeMetafile(const EncodedBytes&, const DecodeOptions&, DecodedImage&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
