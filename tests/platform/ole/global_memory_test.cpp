#include <pixavue/platform/ole/global_memory.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace pixavue::platform {
namespace {

bool AllZero(const void* bytes, std::size_t count) {
  const auto* begin = static_cast<const unsigned char*>(bytes);
  return std::all_of(begin, begin + count, [](unsigned char byte) { return byte == 0; });
}

// Frees the block when the test ends, however it ends.
struct BlockGuard {
  HGLOBAL block;
  ~BlockGuard() { GlobalFree(block); }
};

TEST(GlobalMemory, BlocksAreZeroFilledWhateverTheFlags) {
  for (const UINT flags : {GMEM_FIXED, GMEM_MOVEABLE, GHND}) {
    const HGLOBAL block = GlobalAlloc(flags, 4096);
    ASSERT_NE(block, kNullHglobal);
    const BlockGuard guard{block};
    EXPECT_EQ(GlobalSize(block), 4096u);
    void* bytes = GlobalLock(block);
    ASSERT_NE(bytes, nullptr);
    EXPECT_TRUE(AllZero(bytes, 4096)) << "flags " << flags;
    GlobalUnlock(block);
  }
}

TEST(GlobalMemory, SizesAboveTheLimitAreRefusedAndEmptyBlocksAllowed) {
  EXPECT_EQ(GlobalAlloc(GHND, kGlobalMemoryMaxBytes + 1), kNullHglobal);
  EXPECT_EQ(GlobalAlloc(GHND, SIZE_MAX), kNullHglobal);

  const HGLOBAL empty = GlobalAlloc(GHND, 0);
  ASSERT_NE(empty, kNullHglobal);
  const BlockGuard guard{empty};
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_NE(GlobalLock(empty), nullptr);
  EXPECT_FALSE(GlobalUnlock(empty));
  EXPECT_EQ(GlobalReAlloc(empty, kGlobalMemoryMaxBytes + 1, GHND), kNullHglobal);
  EXPECT_EQ(GlobalSize(empty), 0u);
}

TEST(GlobalMemory, LockCountRisesAndFalls) {
  const HGLOBAL block = GlobalAlloc(GHND, 16);
  const BlockGuard guard{block};
  void* first = GlobalLock(block);
  EXPECT_EQ(GlobalLock(block), first);
  EXPECT_EQ(GlobalLockCount(block), 2u);
  EXPECT_TRUE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block)) << "unlocking an unlocked block";
  EXPECT_EQ(GlobalLockCount(block), 0u);
}

TEST(GlobalMemory, HandlesOutsideTheTableAreRefused) {
  const HGLOBAL freed = GlobalAlloc(GHND, 8);
  ASSERT_EQ(GlobalFree(freed), kNullHglobal);
  for (const HGLOBAL bad : {kNullHglobal, freed, HGLOBAL{0x7FFF'FFF0}, HGLOBAL{~std::uintptr_t{0}}}) {
    EXPECT_EQ(GlobalLock(bad), nullptr);
    EXPECT_FALSE(GlobalUnlock(bad));
    EXPECT_EQ(GlobalSize(bad), 0u);
    EXPECT_EQ(GlobalReAlloc(bad, 4, GHND), kNullHglobal);
    EXPECT_EQ(GlobalFree(bad), bad) << "double free or forged handle";
  }
  const HGLOBAL next = GlobalAlloc(GHND, 8);
  const BlockGuard guard{next};
  EXPECT_NE(next, freed) << "a freed handle must not come back";
}

TEST(GlobalMemory, ReAllocKeepsContentAndZeroFillsEveryGrowth) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
  const BlockGuard guard{block};
  std::memset(GlobalLock(block), 0xAB, 64);
  GlobalUnlock(block);

  ASSERT_EQ(GlobalReAlloc(block, 1 << 20, GMEM_MOVEABLE), block);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  EXPECT_TRUE(std::all_of(bytes, bytes + 64, [](unsigned char b) { return b == 0xAB; }));
  EXPECT_TRUE(AllZero(bytes + 64, (1 << 20) - 64));
  GlobalUnlock(block);

  // Shrinking and growing again must not bring the dropped bytes back.
  ASSERT_EQ(GlobalReAlloc(block, 16, 0), block);
  ASSERT_EQ(GlobalReAlloc(block, 64, 0), block);
  bytes = static_cast<unsigned char*>(GlobalLock(block));
  EXPECT_TRUE(std::all_of(bytes, bytes + 16, [](unsigned char b) { return b == 0xAB; }));
  EXPECT_TRUE(AllZero(bytes + 16, 48));
  GlobalUnlock(block);
}

TEST(GlobalMemory, LockedBlockIsOnlyResizedInPlaceButMayBeFreed) {
  const HGLOBAL block = GlobalAlloc(GHND, 32);
  auto* locked = static_cast<unsigned char*>(GlobalLock(block));
  locked[0] = 7;
  EXPECT_EQ(GlobalReAlloc(block, 1 << 20, GHND), kNullHglobal);
  EXPECT_EQ(GlobalSize(block), 32u);
  EXPECT_EQ(GlobalReAlloc(block, 8, GHND), block) << "shrinking needs no move";
  EXPECT_EQ(locked[0], 7);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalReAlloc(block, 1 << 20, GHND), block);
  ASSERT_NE(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalFree(block), kNullHglobal);
}

TEST(GlobalMemory, ThreadsGetDistinctHandles) {
  constexpr int kThreads = 4;
  constexpr int kBlocksPerThread = 500;
  std::vector<std::vector<HGLOBAL>> handles(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&handles, t] {
      for (int i = 0; i < kBlocksPerThread; ++i) {
        const HGLOBAL block = GlobalAlloc(GHND, 8);
        static_cast<unsigned char*>(GlobalLock(block))[0] = static_cast<unsigned char>(t);
        GlobalUnlock(block);
        handles[t].push_back(block);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<HGLOBAL> distinct;
  for (int t = 0; t < kThreads; ++t) {
    for (const HGLOBAL block : handles[t]) {
      distinct.insert(block);
      EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(block))[0], t);
      GlobalUnlock(block);
      EXPECT_EQ(GlobalFree(block), kNullHglobal);
    }
  }
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kThreads * kBlocksPerThread));
}

}  // namespace
}  // namespace pixavue::platform
