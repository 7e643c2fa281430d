#include <pixavue/platform/ole/global_memory.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace pixavue::platform {
namespace {

struct FreeBytes {
  void operator()(std::byte* bytes) const noexcept { std::free(bytes); }
};

// One block. Storage holds at least one byte, so a 0-byte block still has a
// non-null address, and may be larger than size so that repeated growth (a
// stream being written) does not copy the block every time.
struct Block {
  std::unique_ptr<std::byte, FreeBytes> storage;
  std::size_t size = 0;
  std::size_t capacity = 0;
  UINT locks = 0;
};

class BlockTable final {
 public:
  HGLOBAL Allocate(std::size_t bytes) {
    const std::size_t capacity = std::max<std::size_t>(bytes, 1);
    std::unique_ptr<std::byte, FreeBytes> storage(static_cast<std::byte*>(std::calloc(capacity, 1)));
    if (!storage) {
      return kNullHglobal;
    }
    std::lock_guard lock(mutex_);
    const auto key = nextKey_++;
    blocks_.emplace(key, Block{std::move(storage), bytes, capacity, 0});
    return HGLOBAL{key};
  }

  // Runs action(Block&) under the table's lock; returns fallback for a handle
  // that is not in the table.
  template <class Result, class Action>
  Result WithBlock(HGLOBAL handle, Result fallback, Action action) {
    std::lock_guard lock(mutex_);
    const auto found = blocks_.find(static_cast<std::uintptr_t>(handle));
    if (found == blocks_.end()) {
      return fallback;
    }
    return action(found->second);
  }

  bool Free(HGLOBAL handle) {
    std::unique_ptr<std::byte, FreeBytes> storage;
    {
      std::lock_guard lock(mutex_);
      const auto found = blocks_.find(static_cast<std::uintptr_t>(handle));
      if (found == blocks_.end()) {
        return false;
      }
      storage = std::move(found->second.storage);
      blocks_.erase(found);
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<std::uintptr_t, Block> blocks_;
  std::uintptr_t nextKey_ = 1;
};

// Built in static storage on first use (no allocation, so no failure) and
// never destroyed, so blocks freed by other static objects at exit still
// find it.
BlockTable& Table() noexcept {
  alignas(BlockTable) static std::byte storage[sizeof(BlockTable)];
  static BlockTable* const table = new (storage) BlockTable;
  return *table;
}

// Moves the block into storage of at least `bytes`, growing by half again to
// keep repeated growth linear. Only for unlocked blocks.
bool MoveToLargerStorage(Block& block, std::size_t bytes) {
  const std::size_t generous = std::min(kGlobalMemoryMaxBytes, block.capacity + block.capacity / 2);
  for (const std::size_t capacity : {std::max(bytes, generous), bytes}) {
    if (void* moved = std::realloc(block.storage.get(), capacity)) {
      static_cast<void>(block.storage.release());
      block.storage.reset(static_cast<std::byte*>(moved));
      block.capacity = capacity;
      return true;
    }
  }
  return false;
}

// Gives most of the storage back when an unlocked block shrinks a lot. A
// failure to shrink is harmless: the block keeps its larger storage.
void ReleaseSpareStorage(Block& block) {
  if (block.locks > 0 || block.size >= block.capacity / 4) {
    return;
  }
  const std::size_t capacity = std::max<std::size_t>(block.size, 1);
  if (void* moved = std::realloc(block.storage.get(), capacity)) {
    static_cast<void>(block.storage.release());
    block.storage.reset(static_cast<std::byte*>(moved));
    block.capacity = capacity;
  }
}

bool Resize(Block& block, std::size_t bytes) {
  if (bytes > block.capacity) {
    if (block.locks > 0 || !MoveToLargerStorage(block, bytes)) {
      return false;
    }
  }
  if (bytes > block.size) {
    std::memset(block.storage.get() + block.size, 0, bytes - block.size);
  }
  block.size = bytes;
  ReleaseSpareStorage(block);
  return true;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT /*flags*/, std::size_t bytes) noexcept {
  if (bytes > kGlobalMemoryMaxBytes) {
    return kNullHglobal;
  }
  try {
    return Table().Allocate(bytes);
  } catch (...) {
    return kNullHglobal;
  }
}

void* GlobalLock(HGLOBAL block) noexcept {
  return Table().WithBlock(block, static_cast<void*>(nullptr), [](Block& found) -> void* {
    ++found.locks;
    return found.storage.get();
  });
}

bool GlobalUnlock(HGLOBAL block) noexcept {
  return Table().WithBlock(block, false, [](Block& found) {
    if (found.locks > 0) {
      --found.locks;
    }
    return found.locks > 0;
  });
}

std::size_t GlobalSize(HGLOBAL block) noexcept {
  return Table().WithBlock(block, std::size_t{0}, [](Block& found) { return found.size; });
}

UINT GlobalLockCount(HGLOBAL block) noexcept {
  return Table().WithBlock(block, UINT{0}, [](Block& found) { return found.locks; });
}

HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT /*flags*/) noexcept {
  if (bytes > kGlobalMemoryMaxBytes) {
    return kNullHglobal;
  }
  return Table().WithBlock(block, kNullHglobal,
                           [&](Block& found) { return Resize(found, bytes) ? block : kNullHglobal; });
}

HGLOBAL GlobalFree(HGLOBAL block) noexcept { return Table().Free(block) ? kNullHglobal : block; }

}  // namespace pixavue::platform
