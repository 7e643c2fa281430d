#include <pixavue/platform/gdiplus/pixel_memory.h>

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace pixavue::platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Each block starts with its header; the caller's bytes follow it, so that
// FreePixelMemory knows how the block was made.
struct alignas(std::max_align_t) BlockHeader {
  std::size_t mappedBytes;  // 0: from calloc
  std::size_t askedBytes;
};

// AddressSanitizer watches only the allocator's blocks: under it every
// block comes from calloc.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
#else
constexpr bool kMapLargeBlocks = true;
#endif

// A mapping of `bytes` (a multiple of the huge page) starting on a huge-page
// boundary, or null.
void* MapAligned(std::size_t bytes) {
  void* mapped = ::mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  const std::size_t after = start + bytes + kHugePage - (aligned + bytes);
  if (after > 0) ::munmap(reinterpret_cast<void*>(aligned + bytes), after);
  // Only advice: without huge pages the block works as well, just slower.
  ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

void* AllocatePixelMemory(std::size_t bytes) noexcept {
  if (bytes > SIZE_MAX - sizeof(BlockHeader) - kHugePage * 2) return nullptr;
  const std::size_t total = bytes + sizeof(BlockHeader);
  BlockHeader* header = nullptr;
  if (kMapLargeBlocks && bytes >= kLargePixelBlock) {
    const std::size_t mapped = (total + kHugePage - 1) & ~(kHugePage - 1);
    header = static_cast<BlockHeader*>(MapAligned(mapped));
    if (header != nullptr) header->mappedBytes = mapped;
  } else {
    header = static_cast<BlockHeader*>(std::calloc(1, total));
    if (header != nullptr) header->mappedBytes = 0;
  }
  if (header == nullptr) return nullptr;
  header->askedBytes = bytes;
  return header + 1;
}

std::size_t PixelMemoryBytes(const void* block) noexcept {
  return block != nullptr ? (static_cast<const BlockHeader*>(block) - 1)->askedBytes : 0;
}

void FreePixelMemory(void* block) noexcept {
  if (block == nullptr) return;
  BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
  if (header->mappedBytes == 0) {
    std::free(header);
  } else {
    ::munmap(header, header->mappedBytes);
  }
}

}  // namespace pixavue::platform
