#pragma once
// libpng glue shared by the PNG decoder and encoder: silent error and
// warning handlers (errors longjmp back to the setjmp of the caller, so no
// message is printed and no C++ object is skipped) and, for reading, an
// allocator that counts libpng's memory against the current load's budget.

#include <png.h>

#include "../load_budget.h"

namespace pixavue::platform::gdiplus {

// Error handler for png_create_*_struct: jumps to png_jmpbuf(png).
[[noreturn]] void PngErrorJump(png_structp png, png_const_charp message);
// Warning handler that drops the warning.
void PngIgnoreWarning(png_structp png, png_const_charp message);

// libpng's allocations while reading, held as one reservation of the
// current load that grows and shrinks with them. An allocation the budget
// cannot spare fails, which libpng reports as an out-of-memory error.
class PngBudgetMemory final {
 public:
  // Joins the load current on this thread, if any.
  PngBudgetMemory() : reservation_(BudgetReservation::Take(0).value_or(BudgetReservation{})) {}

  static png_voidp Allocate(png_structp png, png_alloc_size_t bytes);
  static void Free(png_structp png, png_voidp block);

  std::uint64_t bytes() const noexcept { return reservation_.bytes(); }

 private:
  BudgetReservation reservation_;
};

enum class PngDirection { Read, Write };

// Owns libpng's read or write structures, made with the silent handlers.
template <PngDirection direction>
class PngStructs final {
 public:
  PngStructs() {
    png_ = direction == PngDirection::Read
               ? png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, PngErrorJump, PngIgnoreWarning, &memory_,
                                          PngBudgetMemory::Allocate, PngBudgetMemory::Free)
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
  PngBudgetMemory memory_;  // outlives the structures it allocated
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

using PngReadStructs = PngStructs<PngDirection::Read>;
using PngWriteStructs = PngStructs<PngDirection::Write>;

}  // namespace pixavue::platform::gdiplus
