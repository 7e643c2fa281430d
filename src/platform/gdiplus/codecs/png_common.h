#pragma once
// libpng glue shared by the PNG decoder and encoder: silent error and
// warning handlers (errors longjmp back to the setjmp of the caller, so no
// message is printed and no C++ object is skipped) and the resolution
// conversion of the pHYs chunk.

#include <png.h>

namespace pixavue::platform::gdiplus {

// Error handler for png_create_*_struct: jumps to png_jmpbuf(png).
[[noreturn]] void PngErrorJump(png_structp png, png_const_charp message);
// Warning handler that drops the warning.
void PngIgnoreWarning(png_structp png, png_const_charp message);

}  // namespace pixavue::platform::gdiplus
