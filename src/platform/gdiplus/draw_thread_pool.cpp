#include "draw_thread_pool.h"

#include <algorithm>
#include <atomic>
#include <system_error>

namespace pixavue::platform::gdiplus {

struct DrawThreadPool::Job {
  const std::function<void(std::int32_t)>* part = nullptr;
  std::int32_t parts = 0;
  std::atomic<std::int32_t> next{1};  // part 0 is the caller's
};

std::int32_t DrawThreadPool::Threads() {
  std::lock_guard guard(mutex_);
  if (!started_) {
    started_ = true;
    Start();
  }
  return static_cast<std::int32_t>(workers_.size()) + 1;
}

void DrawThreadPool::Start() {
  const auto processors = static_cast<std::int32_t>(std::thread::hardware_concurrency());
  const std::int32_t wanted = std::clamp(processors, 1, kMaxThreads) - 1;
  stopping_ = false;
  for (std::int32_t i = 0; i < wanted; ++i) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;  // fewer workers; the draws split less
    }
  }
}

void DrawThreadPool::Stop() {
  std::vector<std::thread> workers;
  {
    std::lock_guard guard(mutex_);
    stopping_ = true;
    started_ = false;
    workers.swap(workers_);
  }
  wake_.notify_all();
  for (std::thread& worker : workers) worker.join();
}

void DrawThreadPool::RunParts(Job& job) {
  for (std::int32_t i = job.next++; i < job.parts; i = job.next++) (*job.part)(i);
}

void DrawThreadPool::Work() {
  std::uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return stopping_ || (job_ != nullptr && generation_ != seen); });
    if (stopping_) return;
    seen = generation_;
    Job& job = *job_;
    ++busy_;
    lock.unlock();
    RunParts(job);
    lock.lock();
    if (--busy_ == 0) idle_.notify_all();
  }
}

void DrawThreadPool::Run(std::int32_t parts, const std::function<void(std::int32_t)>& part) {
  if (parts <= 0) return;
  std::unique_lock run(runMutex_, std::try_to_lock);
  if (!run.owns_lock() || parts == 1 || Threads() == 1) {
    for (std::int32_t i = 0; i < parts; ++i) part(i);
    return;
  }
  Job job;
  job.part = &part;
  job.parts = parts;
  {
    std::lock_guard guard(mutex_);
    job_ = &job;
    ++generation_;
  }
  wake_.notify_all();
  part(0);
  RunParts(job);
  // Every part has been taken; wait for the workers still inside the job.
  std::unique_lock lock(mutex_);
  job_ = nullptr;
  idle_.wait(lock, [&] { return busy_ == 0; });
}

namespace {

// Never destroyed: a session may end from another static object's
// destructor, after this one's would have run.
DrawThreadPool& ThePool() {
  static DrawThreadPool* const pool = new DrawThreadPool;
  return *pool;
}

}  // namespace

DrawThreadPool& SessionDrawThreads() { return ThePool(); }

void StopSessionDrawThreads() { ThePool().Stop(); }

}  // namespace pixavue::platform::gdiplus
