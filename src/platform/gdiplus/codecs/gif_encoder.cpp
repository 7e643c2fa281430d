// Placeholder until the gif encoder lands.
#include "../codec.h"

namespace pixavue::platform::gdiplus {

GpStatus EncodeGif(const EncodeSource&, const EncoderParameters*, std::vector<std::uint8_t>&) { return NotImplemented; }

}  // namespace pixavue::platform::gdiplus
