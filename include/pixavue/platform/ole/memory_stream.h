#pragma once
// A stream over a byte vector owned by the stream: for tests and for loaders
// that have the bytes in memory already. Limited to kMemoryStreamMaxBytes;
// writes beyond give STG_E_MEDIUMFULL.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/stream.h>

namespace pixavue::platform {

inline constexpr std::size_t kMemoryStreamMaxBytes = 0x7FFFFFFF;

// A stream holding initialBytes, positioned at 0. E_POINTER for a null
// stream; STG_E_MEDIUMFULL when initialBytes is above the limit.
HRESULT CreateMemoryStream(std::vector<std::uint8_t> initialBytes, IStream** stream) noexcept;

// Copies the whole content of a stream made by CreateMemoryStream.
// E_INVALIDARG for any other stream or a null stream.
HRESULT GetBytesFromMemoryStream(IStream* stream, std::vector<std::uint8_t>& bytes) noexcept;

}  // namespace pixavue::platform
