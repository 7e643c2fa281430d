#include "png_chunk_layout.h"

#include <cstring>

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kLengthAndTypeBytes = 8;
constexpr std::size_t kCrcBytes = 4;
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
         bytes[3];
}

}  // namespace

bool ChunksLieInsideFile(std::span<const std::uint8_t> file) noexcept {
  std::size_t at = kSignatureBytes;
  while (at < file.size()) {
    if (file.size() - at < kLengthAndTypeBytes + kCrcBytes) return false;
    const std::uint32_t length = BigEndian32(file.data() + at);
    if (length > kMaxChunkLength || length > file.size() - at - kLengthAndTypeBytes - kCrcBytes) return false;
    if (std::memcmp(file.data() + at + 4, "IEND", 4) == 0) return true;
    at += kLengthAndTypeBytes + length + kCrcBytes;
  }
  return true;
}

}  // namespace pixavue::platform::gdiplus
