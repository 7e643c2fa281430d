#pragma once
// The resolution of a registered image.

#include <pixavue/engine/image_id.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Sets the horizontal and vertical resolution (dots per inch) of the image's
// current page and writes them as the rational resolution tags 282 and 283
// (72.5 -> 725/10). Marks the image modified on success unless doNotMark.
QuorvexStatus SetResolution(ImageId id, float x, float y, bool doNotMark);

}  // namespace pixavue::engine
