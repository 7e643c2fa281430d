#pragma once
// The image attributes of one render: a gamma and, on a transparent
// surface, the mask colour remapped to transparent. Created only when one
// of them is asked for; disposed with the object or earlier.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::control {

class DrawAttributes final {
 public:
  DrawAttributes() = default;
  ~DrawAttributes() { Dispose(); }
  DrawAttributes(const DrawAttributes&) = delete;
  DrawAttributes& operator=(const DrawAttributes&) = delete;

  // A failure to create them leaves the draw without the adjustment.
  void SetGamma(float gamma);
  // One remap entry: `colour` becomes ARGB 0 (transparent black).
  void RemapToTransparent(platform::ARGB colour);

  // Null when none were made (or after Dispose).
  const platform::GpImageAttributes* Get() const { return attributes_; }
  void Dispose();

 private:
  bool Ensure();

  platform::GpImageAttributes* attributes_ = nullptr;
};

}  // namespace pixavue::control
