#include "png_common.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace pixavue::platform::gdiplus {
namespace {

// Each block starts with its size, so that freeing it gives back its bytes.
constexpr std::size_t kHeaderBytes = alignof(std::max_align_t);

}  // namespace

png_voidp PngBudgetMemory::Allocate(png_structp png, png_alloc_size_t bytes) {
  auto* memory = static_cast<PngBudgetMemory*>(png_get_mem_ptr(png));
  if (bytes > SIZE_MAX - kHeaderBytes || !memory->reservation_.Resize(memory->reservation_.bytes() + bytes)) {
    return nullptr;
  }
  auto* block = static_cast<std::uint8_t*>(std::malloc(bytes + kHeaderBytes));
  if (block == nullptr) {
    memory->reservation_.Resize(memory->reservation_.bytes() - bytes);
    return nullptr;
  }
  const std::size_t size = bytes;
  std::memcpy(block, &size, sizeof size);
  return block + kHeaderBytes;
}

void PngBudgetMemory::Free(png_structp png, png_voidp pointer) {
  if (pointer == nullptr) return;
  auto* memory = static_cast<PngBudgetMemory*>(png_get_mem_ptr(png));
  auto* block = static_cast<std::uint8_t*>(pointer) - kHeaderBytes;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  memory->reservation_.Resize(memory->reservation_.bytes() - size);
  std::free(block);
}

void PngErrorJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void PngIgnoreWarning(png_structp, png_const_charp) {}

}  // namespace pixavue::platform::gdiplus
