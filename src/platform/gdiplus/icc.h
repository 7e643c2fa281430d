#pragma once
// Colour management for the colour-managed loading entry points: pixels in
// the colour space of an embedded ICC profile become sRGB.

#include <cstdint>
#include <memory>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Converts the frame's pixels (or palette, for indexed frames) in place
// from `profile` to sRGB. A profile that cannot be read, or a pixel format
// it does not apply to, leaves the frame unchanged and still returns Ok,
// so that the image loads as the plain entry points would load it.
GpStatus ApplyIccProfile(Frame& frame, std::span<const std::uint8_t> profile);

// Converts CMYK pixels to sRGB through an embedded CMYK profile, for
// decoders that produce CMYK rows.
class CmykToSrgb final {
 public:
  // Null when `profile` is not a readable CMYK profile. `inverted` reads
  // the data as 255 - ink, as Adobe applications store CMYK.
  static std::unique_ptr<CmykToSrgb> Create(std::span<const std::uint8_t> profile, bool inverted);
  ~CmykToSrgb();
  CmykToSrgb(const CmykToSrgb&) = delete;
  CmykToSrgb& operator=(const CmykToSrgb&) = delete;

  // `count` pixels of C, M, Y, K bytes to B, G, R bytes.
  void Convert(const std::uint8_t* cmyk, std::uint8_t* bgr, std::uint32_t count) const;

 private:
  struct State;
  explicit CmykToSrgb(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace pixavue::platform::gdiplus
