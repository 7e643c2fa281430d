#include "stream_bytes.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr ULONG kChunkBytes = ULONG{1} << 20;

// Bytes between the position and the end, when the stream tells its size;
// used only to reserve memory and to refuse oversized streams early.
std::uint64_t RemainingBytesHint(IStream& stream) {
  std::uint64_t position = 0;
  STATSTG stat;
  if (FAILED(stream.Seek(0, STREAM_SEEK_CUR, &position))) return 0;
  if (FAILED(stream.Stat(&stat, STATFLAG_NONAME))) return 0;
  return stat.cbSize > position ? stat.cbSize - position : 0;
}

GpStatus ReadChunks(IStream& stream, std::vector<std::uint8_t>& bytes) {
  for (;;) {
    const std::size_t used = bytes.size();
    if (used > kMaxEncodedBytes) return OutOfMemory;
    // Fill reserved room first, so an exact size hint needs no reallocation.
    const std::size_t room = bytes.capacity() > used ? bytes.capacity() - used : kChunkBytes;
    const auto chunk = static_cast<ULONG>(std::min<std::uint64_t>(room, kMaxEncodedBytes + 1 - used));
    bytes.resize(used + chunk);
    ULONG read = 0;
    const HRESULT result = stream.Read(bytes.data() + used, chunk, &read);
    if (FAILED(result) || read > chunk) return InvalidParameter;
    bytes.resize(used + read);
    if (read == 0) return Ok;
  }
}

}  // namespace

GpStatus ReadRestOfStream(IStream& stream, EncodedBytes& out) {
  const std::uint64_t hint = RemainingBytesHint(stream);
  if (hint > kMaxEncodedBytes) return OutOfMemory;
  try {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    bytes->reserve(static_cast<std::size_t>(hint) + 1);
    const GpStatus status = ReadChunks(stream, *bytes);
    if (status != Ok) return status;
    out = std::move(bytes);
    return Ok;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus WriteToStream(IStream& stream, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<ULONG>(std::min<std::size_t>(kChunkBytes, bytes.size()));
    ULONG written = 0;
    if (FAILED(stream.Write(bytes.data(), chunk, &written)) || written != chunk) return Win32Error;
    bytes = bytes.subspan(chunk);
  }
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
