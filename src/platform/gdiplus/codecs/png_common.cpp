#include "png_common.h"

namespace pixavue::platform::gdiplus {

void PngErrorJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void PngIgnoreWarning(png_structp, png_const_charp) {}

}  // namespace pixavue::platform::gdiplus
