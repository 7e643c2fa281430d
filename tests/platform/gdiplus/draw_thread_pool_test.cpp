// The draw threads: every part of a draw runs once, part 0 on the calling
// thread, parts at the same time on several threads, a draw that finds the
// workers busy runs alone, and the threads end with the library session.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include "draw_thread_pool.h"
#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DrawThreadPool;
using namespace std::chrono_literals;

std::size_t ThreadsOfProcess() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

TEST(DrawThreadPoolTest, RunsEveryPartOnceWithPartZeroOnTheCallingThread) {
  DrawThreadPool pool;
  for (const std::int32_t parts : {1, 2, 3, 8, 21}) {
    std::vector<std::atomic<int>> runs(static_cast<std::size_t>(parts));
    std::thread::id firstPartThread;
    pool.Run(parts, [&](std::int32_t i) {
      if (i == 0) firstPartThread = std::this_thread::get_id();
      ++runs[static_cast<std::size_t>(i)];
    });
    for (std::int32_t i = 0; i < parts; ++i) EXPECT_EQ(runs[static_cast<std::size_t>(i)], 1) << parts << " " << i;
    EXPECT_EQ(firstPartThread, std::this_thread::get_id());
  }
}

TEST(DrawThreadPoolTest, PartsRunAtTheSameTimeOnSeveralThreads) {
  DrawThreadPool pool;
  if (pool.Threads() < 2) GTEST_SKIP() << "one processor";
  // Part 0 waits until another thread has started part 1: only possible
  // when they run at the same time.
  std::atomic<bool> secondStarted{false};
  std::atomic<bool> sawSecond{false};
  std::set<std::thread::id> threads;
  std::mutex mutex;
  pool.Run(2, [&](std::int32_t i) {
    {
      std::lock_guard guard(mutex);
      threads.insert(std::this_thread::get_id());
    }
    if (i == 1) secondStarted = true;
    if (i != 0) return;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!secondStarted && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    sawSecond = secondStarted.load();
  });
  EXPECT_TRUE(sawSecond);
  EXPECT_EQ(threads.size(), 2u);
}

TEST(DrawThreadPoolTest, ADrawThatFindsTheWorkersBusyRunsOnItsOwnThread) {
  DrawThreadPool pool;
  std::atomic<bool> done{false};
  std::set<std::thread::id> innerThreads;
  std::thread::id innerCaller;
  pool.Run(2, [&](std::int32_t i) {
    if (i != 0) return;
    std::thread other([&] {
      innerCaller = std::this_thread::get_id();
      pool.Run(4, [&](std::int32_t) { innerThreads.insert(std::this_thread::get_id()); });
      done = true;
    });
    other.join();
  });
  EXPECT_TRUE(done);
  EXPECT_EQ(innerThreads, std::set<std::thread::id>{innerCaller});
}

TEST(DrawThreadPoolTest, StoppedWorkersStartAgainOnTheNextDraw) {
  DrawThreadPool pool;
  const std::int32_t threads = pool.Threads();
  pool.Stop();
  std::atomic<int> runs{0};
  pool.Run(5, [&](std::int32_t) { ++runs; });
  EXPECT_EQ(runs, 5);
  EXPECT_EQ(pool.Threads(), threads);
}

// A draw large enough to be split starts the session's threads, which stay
// for the next draw and end when the session closes.
TEST(DrawThreadPoolTest, SessionThreadsLiveFromTheFirstLargeDrawToTheSessionsEnd) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one processor";
  const std::size_t before = ThreadsOfProcess();
  GDIP_ULONG_PTR token = 0;
  const GdiplusStartupInput input;
  ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
  {
    ImageGuard source;
    ImageGuard target;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1200, 900, 0, PixelFormat24bppRGB, nullptr,
                                        reinterpret_cast<GpBitmap**>(source.out())),
              Ok);
    ASSERT_EQ(GdipCreateBitmapFromScan0(800, 600, 0, PixelFormat32bppRGB, nullptr,
                                        reinterpret_cast<GpBitmap**>(target.out())),
              Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(target.get(), &graphics), Ok);
    GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBicubic);
    ASSERT_EQ(GdipDrawImageRectRectI(graphics, source.get(), 0, 0, 800, 600, 0, 0, 1200, 900, UnitPixel, nullptr,
                                     nullptr, nullptr),
              Ok);
    const std::size_t during = ThreadsOfProcess();
    EXPECT_GT(during, before);
    ASSERT_EQ(GdipDrawImageRectRectI(graphics, source.get(), 0, 0, 800, 600, 0, 0, 1200, 900, UnitPixel, nullptr,
                                     nullptr, nullptr),
              Ok);
    EXPECT_EQ(ThreadsOfProcess(), during);  // no thread started per draw
    GdipDeleteGraphics(graphics);
  }
  GdiplusShutdown(token);
  EXPECT_EQ(ThreadsOfProcess(), before);
}

}  // namespace
}  // namespace pixavue::platform::test
