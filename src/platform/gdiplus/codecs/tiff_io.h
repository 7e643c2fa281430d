#pragma once
// libtiff over memory: a read-only view of encoded bytes for decoding and a
// growable byte vector for encoding. Messages libtiff reports go to the
// handle's sink instead of stderr; callers turn failures into statuses.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <tiffio.h>

namespace pixavue::platform::gdiplus {

struct TiffCloser final {
  void operator()(TIFF* tif) const noexcept { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// The client data of a reading handle; must outlive the handle.
class TiffMemorySource final {
 public:
  explicit TiffMemorySource(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

  std::span<const std::uint8_t> bytes() const noexcept { return bytes_; }
  std::uint64_t position = 0;
  bool failed = false;  // libtiff reported an error

 private:
  std::span<const std::uint8_t> bytes_;
};

// The client data of a writing handle; must outlive the handle.
struct TiffMemorySink final {
  std::vector<std::uint8_t> bytes;
  std::uint64_t position = 0;
  bool failed = false;
};

// Opens the TIFF held in `source`, reading its first directory; null when
// libtiff refuses the header or that directory.
TiffHandle OpenTiffReader(TiffMemorySource& source);

// Opens a little-endian classic TIFF that writes into `sink`.
TiffHandle OpenTiffWriter(TiffMemorySink& sink);

}  // namespace pixavue::platform::gdiplus
