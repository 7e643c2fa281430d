#pragma once
// Moving encoded files between COM streams and memory, bounded by the
// loaders' size limit.

#include <cstdint>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/stream.h>

#include "codec.h"

namespace pixavue::platform::gdiplus {

// Reads everything from the stream's current position to its end.
// OutOfMemory when that is more than kMaxEncodedBytes, InvalidParameter when
// the stream reports a failure.
GpStatus ReadRestOfStream(IStream& stream, EncodedBytes& out);

// Writes all bytes at the stream's position; Win32Error when the stream
// refuses them or writes fewer.
GpStatus WriteToStream(IStream& stream, std::span<const std::uint8_t> bytes);

}  // namespace pixavue::platform::gdiplus
