#pragma once
// What the scans of a JPEG decode cost. libjpeg keeps the coefficients of
// the whole image when a file spreads them over several scans; each scan
// then walks every block of the components it covers, even when the scan
// holds no data. The scans are charged to the current load as a fixed setup
// plus the coefficient bytes of those blocks, so the number of scans a file
// may have grows with the image it describes; past the load's allowance the
// decode ends with libjpeg's bad-progression error.

#include "jpeg_error.h"

#include <cstdint>

namespace pixavue::platform::gdiplus {

// The progress monitor that charges each scan once, when it starts.
struct ScanWork final {
  jpeg_progress_mgr manager{};  // first member: libjpeg only sees this part
  int chargedScan = 0;

  // Installs the monitor on `cinfo`, which must not outlive this object.
  void Attach(jpeg_decompress_struct& cinfo) noexcept;
};

// Bytes of the coefficient arrays libjpeg allocates for the whole image
// once the header has been read; 0 for a file of one interleaved scan,
// which libjpeg decodes a row of blocks at a time.
std::uint64_t BufferedCoefficientBytes(const jpeg_decompress_struct& cinfo) noexcept;

// Units of work of the scan whose header libjpeg read last.
std::uint64_t ScanWorkUnits(const jpeg_decompress_struct& cinfo) noexcept;

}  // namespace pixavue::platform::gdiplus
