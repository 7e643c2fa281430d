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

enum class PngDirection { Read, Write };

// Owns libpng's read or write structures, made with the silent handlers.
template <PngDirection direction>
class PngStructs final {
 public:
  PngStructs() {
    png_ = direction == PngDirection::Read
               ? png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorJump, PngIgnoreWarning)
               : png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorJump, PngIgnoreWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~PngStructs() {
    if (direction == PngDirection::Read) {
      png_destroy_read_struct(&png_, &info_, nullptr);
    } else {
      png_destroy_write_struct(&png_, &info_);
    }
  }
  PngStructs(const PngStructs&) = delete;
  PngStructs& operator=(const PngStructs&) = delete;

  bool valid() const { return png_ != nullptr && info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

using PngReadStructs = PngStructs<PngDirection::Read>;
using PngWriteStructs = PngStructs<PngDirection::Write>;

}  // namespace pixavue::platform::gdiplus
